// How long the phone-number picker takes to open on a large address book: from the action of a
// tap on a placeholder to the first rendered frame of the list, on a generated book of 5,000 people
// (about 10,000 phone numbers, a third of the people with a photo); and the same road with the book
// first read from a vCard export of those people, as a launch reads it. The reference, measured in
// the same state, is a frame of the board alone; the counters give both in milliseconds and their
// ratio.

#include "board/BrenzoAppDelegate.h"
#include "board/BrenzoViewController.h"
#include "board/PeopleListViewController.h"
#include "board/TouchImageView.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/addressbook/PhoneLabel.h"
#include "platform/crypto/Base64.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr int personCount = 5000;

fnd::Ref<fnd::Data> photo(double red, double green, double blue)
{
    auto context = gfx::ImageContext::create({ 64, 64 }, true, 1);
    context->setFillColor({ red, green, blue, 1 });
    context->fillRect({ 0, 0, 64, 64 });
    context->setFillColor({ 1, 1, 1, 1 });
    context->fillRect({ 16, 16, 32, 32 });
    return context->image()->pngRepresentation();
}

std::shared_ptr<ab::AddressBook> generateAddressBook()
{
    static const std::array<std::string_view, 16> firstNames { "Anna", "Bruno", "Chloé", "David", "Élodie", "Farid", "Greta", "Hugo", "Inès",
        "Jonas", "Kenji", "Léa", "Marta", "Noah", "Øyvind", "Zoë" };
    static const std::array<std::string_view, 16> lastSyllables { "mar", "tin", "ber", "ro", "lan", "do", "ström", "vik", "el", "sa", "no",
        "ka", "ri", "zu", "pé", "ga" };
    static const std::array<std::string_view, 6> labels { ab::PhoneLabel::mobile, ab::PhoneLabel::home, ab::PhoneLabel::work, ab::PhoneLabel::iPhone,
        ab::PhoneLabel::main, "Cottage" };
    const std::array<fnd::Ref<fnd::Data>, 3> photos { photo(0.8, 0.2, 0.2), photo(0.2, 0.6, 0.3), photo(0.2, 0.3, 0.8) };

    auto book = ab::AddressBook::createEmpty();
    uint32_t seed = 2024;
    auto next = [&seed](uint32_t limit) {
        seed = seed * 1103515245 + 12345;
        return (seed >> 8) % limit;
    };
    for (int index = 0; index < personCount; ++index) {
        std::string last;
        for (uint32_t syllable = 0, count = 2 + next(2); syllable < count; ++syllable)
            last += lastSyllables[next(uint32_t(lastSyllables.size()))];
        last[0] = char(last[0] - 'a' + 'A');
        ab::PersonDetails details;
        details.firstName = fnd::String::create(firstNames[next(uint32_t(firstNames.size()))]);
        details.lastName = fnd::String::create(last);
        for (uint32_t number = 0, count = 1 + next(3); number < count; ++number) {
            details.phoneNumbers.push_back({ fnd::String::create(labels[next(uint32_t(labels.size()))]),
                fnd::String::create("06 " + std::to_string(10 + next(90)) + " " + std::to_string(10 + next(90)) + " " + std::to_string(10 + next(90))) });
        }
        if (index % 3 == 0)
            details.imageData = photos[size_t(index) % photos.size()];
        book->addPerson(std::move(details));
    }
    return book;
}

// The generated book as a vCard 3.0 export, photos inline and folded as exports fold them.
std::filesystem::path writeVCardExport(const ab::AddressBook& book)
{
    auto path = std::filesystem::temp_directory_path() / ("brenzo-picker-bench-" + std::to_string(getpid()) + ".vcf");
    std::ofstream file(path, std::ios::binary);
    for (auto& person : book.copyAllPeople()) {
        std::string first = person->firstName() ? person->firstName()->utf8() : "";
        std::string last = person->lastName() ? person->lastName()->utf8() : "";
        file << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" << last << ';' << first << ";;;\r\nFN:" << first << ' ' << last << "\r\n";
        auto numbers = person->phoneNumbers();
        for (size_t index = 0; index < numbers->count(); ++index)
            file << "TEL;TYPE=CELL:" << numbers->valueAtIndex(index)->utf8() << "\r\n";
        if (auto photo = person->imageData(ab::ImageFormat::OriginalSize)) {
            std::string line = "PHOTO;ENCODING=b;TYPE=PNG:" + crypto::base64Encode(photo->span());
            for (size_t offset = 0; offset < line.size(); offset += 75)
                file << (offset ? " " : "") << line.substr(offset, 75) << "\r\n";
        }
        file << "END:VCARD\r\n";
    }
    return path;
}

// The application as it is after launch: the loaded contact list and the board on screen. The
// home folder is the one the benchmark program made.
void showBoardWithGeneratedContacts(std::shared_ptr<BrenzoAppDelegate>& application, std::shared_ptr<BrenzoViewController>& board,
    std::shared_ptr<ui::Window>& window)
{
    ui::Application::shared().resetForTesting();
    fnd::RunLoop::main().runUntilIdle();
    ab::AddressBook::useBook(generateAddressBook());
    application = BrenzoAppDelegate::create();
    ui::Application::shared().setDelegate(application);
    application->loadAllContact();

    window = ui::Window::create();
    board = BrenzoViewController::create();
    application->setViewController(board);
    window->addSubview(board->view());
    window->makeKeyAndVisible();
    fnd::RunLoop::main().runUntilIdle();
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The reference: one frame of the board alone, in the same state.
double averageBoardFrameMilliseconds()
{
    constexpr int referenceFrames = 20;
    benchmark::DoNotOptimize(ui::Renderer::renderScreen(1));
    auto referenceStart = std::chrono::steady_clock::now();
    for (int frame = 0; frame < referenceFrames; ++frame)
        benchmark::DoNotOptimize(ui::Renderer::renderScreen(1));
    return millisecondsSince(referenceStart) / referenceFrames;
}

void reportAgainstBoardFrame(benchmark::State& state, const std::string& name, double milliseconds, double boardFrame, size_t records)
{
    state.counters["records"] = double(records);
    state.counters["board_frame_ms"] = boardFrame;
    state.counters[name] = milliseconds;
    state.counters["ratio"] = boardFrame > 0 ? milliseconds / boardFrame : 0;
}

void closeApplication(std::shared_ptr<ui::Window>& window)
{
    window = nullptr;
    ui::Application::shared().resetForTesting();
    fnd::RunLoop::main().runUntilIdle();
}

void BM_PickerOpenToFirstFrameOn5000People(benchmark::State& state)
{
    std::shared_ptr<BrenzoAppDelegate> application;
    std::shared_ptr<BrenzoViewController> board;
    std::shared_ptr<ui::Window> window;
    showBoardWithGeneratedContacts(application, board, window);

    double boardFrame = averageBoardFrameMilliseconds();

    auto placeholder = board->mainTouchImageView()->children().front();
    // The first opening, checked (the frame must show the list's rows) and timed on its own: it
    // also makes every record's one-line name, which later openings find made.
    auto firstStart = std::chrono::steady_clock::now();
    placeholder->launchAction();
    ui::Renderer::renderScreen(1);
    double firstOpen = millisecondsSince(firstStart);
    auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(board->presentedViewController());
    auto picker = navigation ? std::dynamic_pointer_cast<PeopleListViewController>(navigation->topViewController()) : nullptr;
    if (!picker || !picker->tableView()->window() || picker->tableView()->visibleCells().empty()) {
        state.SkipWithError("the picker's list is not on screen");
        return;
    }
    picker = nullptr;
    navigation = nullptr;
    board->dismissSettingsView();
    fnd::RunLoop::main().runUntilIdle();

    double opening = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        // What the tap's action runs on a placeholder.
        placeholder->launchAction();
        benchmark::DoNotOptimize(ui::Renderer::renderScreen(1));
        opening += millisecondsSince(start);

        state.PauseTiming();
        board->dismissSettingsView();
        fnd::RunLoop::main().runUntilIdle();
        state.ResumeTiming();
    }
    double pickerOpen = state.iterations() ? opening / double(state.iterations()) : 0;
    reportAgainstBoardFrame(state, "picker_open_ms", pickerOpen, boardFrame, application->allContact()->size());
    state.counters["first_open_ms"] = firstOpen;
    closeApplication(window);
}
BENCHMARK(BM_PickerOpenToFirstFrameOn5000People)->Unit(benchmark::kMillisecond);

// From reading the export to the picker's first frame: the loader's work that a picker opened early
// waits for, then the opening itself.
void BM_PickerOpenIncludingLoadingA5000PersonVCardFile(benchmark::State& state)
{
    auto exportFile = writeVCardExport(*generateAddressBook());
    std::shared_ptr<BrenzoAppDelegate> application;
    std::shared_ptr<BrenzoViewController> board;
    std::shared_ptr<ui::Window> window;
    showBoardWithGeneratedContacts(application, board, window);
    double boardFrame = averageBoardFrameMilliseconds();
    auto placeholder = board->mainTouchImageView()->children().front();

    double total = 0;
    size_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        application->setAllContact(nullptr);
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        ab::AddressBook::useContactsFile(exportFile);
        application->loadAllContact();
        placeholder->launchAction();
        benchmark::DoNotOptimize(ui::Renderer::renderScreen(1));
        total += millisecondsSince(start);

        state.PauseTiming();
        records = application->allContact() ? application->allContact()->size() : 0;
        board->dismissSettingsView();
        fnd::RunLoop::main().runUntilIdle();
        state.ResumeTiming();
    }
    double loadAndOpen = state.iterations() ? total / double(state.iterations()) : 0;
    reportAgainstBoardFrame(state, "load_and_open_ms", loadAndOpen, boardFrame, records);
    closeApplication(window);
    std::filesystem::remove(exportFile);
}
BENCHMARK(BM_PickerOpenIncludingLoadingA5000PersonVCardFile)->Unit(benchmark::kMillisecond);

// From the publication of the contact list to the first frame of a picker opened before it: the
// picker must wake on the publication itself, not at its next look.
void BM_PickerFrameAfterALatePublication(benchmark::State& state)
{
    std::shared_ptr<BrenzoAppDelegate> application;
    std::shared_ptr<BrenzoViewController> board;
    std::shared_ptr<ui::Window> window;
    showBoardWithGeneratedContacts(application, board, window);
    auto list = application->allContact();
    auto placeholder = board->mainTouchImageView()->children().front();

    double total = 0;
    for (auto _ : state) {
        application->setAllContact(nullptr);
        std::atomic<std::chrono::steady_clock::time_point> publishedAt;
        std::thread loader([&] {
            // Late enough for the picker to be waiting already.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            publishedAt = std::chrono::steady_clock::now();
            application->setAllContact(list);
        });
        placeholder->launchAction();
        benchmark::DoNotOptimize(ui::Renderer::renderScreen(1));
        auto shown = std::chrono::steady_clock::now();
        loader.join();
        std::chrono::duration<double> latency = shown - publishedAt.load();
        state.SetIterationTime(latency.count());
        total += latency.count() * 1000;

        board->dismissSettingsView();
        fnd::RunLoop::main().runUntilIdle();
    }
    state.counters["publication_to_frame_ms"] = state.iterations() ? total / double(state.iterations()) : 0;
    closeApplication(window);
}
BENCHMARK(BM_PickerFrameAfterALatePublication)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}
