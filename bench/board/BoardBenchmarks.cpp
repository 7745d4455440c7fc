// Start-up of the application to its first frame, against references measured in the same run:
// drawing one frame of an empty window and of the finished board, and parsing "main.xml" alone.

#include "board/BoardFile.h"
#include "board/BrenzoAppDelegate.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/ui/Application.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Window.h"
#include "sharing/core/SHKConfiguration.h"
#include "xml/DDXMLDocument.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

// A home folder of its own for the whole run, removed at the end.
class BenchmarkHome {
public:
    BenchmarkHome()
    {
        char pattern[] = "/tmp/brenzo-board-bench-XXXXXX";
        m_path = mkdtemp(pattern);
        fnd::FileManager::setHomeDirectory(m_path);
    }
    ~BenchmarkHome() { std::filesystem::remove_all(m_path); }

    void clearDocuments() const { std::filesystem::remove_all(m_path / "Documents"); }

private:
    std::filesystem::path m_path;
};

BenchmarkHome& home()
{
    static BenchmarkHome home;
    return home;
}

void useSampleContacts()
{
    if (auto sample = fnd::Bundle::main()->pathForResource("contacts", "vcf"))
        ab::AddressBook::useContactsFile(*sample);
}

void resetApplication()
{
    fnd::Thread::waitForDetachedThreads(30);
    ui::Application::shared().resetForTesting();
    SHKConfiguration::resetForTesting();
    fnd::RunLoop::main().runUntilIdle();
}

// Launch, lay out and draw the screen once: what the user waits for before seeing the board.
void launchToFirstFrame()
{
    auto& application = ui::Application::shared();
    application.setDelegate(BrenzoAppDelegate::create());
    application.finishLaunching();
    fnd::RunLoop::main().runUntilIdle();
    benchmark::DoNotOptimize(ui::Renderer::renderScreen(1));
}

void BM_LaunchToFirstFrameOnAnEmptyHome(benchmark::State& state)
{
    useSampleContacts();
    for (auto _ : state) {
        state.PauseTiming();
        resetApplication();
        home().clearDocuments();
        state.ResumeTiming();
        launchToFirstFrame();
    }
    resetApplication();
}
BENCHMARK(BM_LaunchToFirstFrameOnAnEmptyHome)->Unit(benchmark::kMillisecond);

void BM_LaunchToFirstFrameOnASavedBoard(benchmark::State& state)
{
    useSampleContacts();
    resetApplication();
    home().clearDocuments();
    launchToFirstFrame();
    for (auto _ : state) {
        state.PauseTiming();
        resetApplication();
        state.ResumeTiming();
        launchToFirstFrame();
    }
    resetApplication();
}
BENCHMARK(BM_LaunchToFirstFrameOnASavedBoard)->Unit(benchmark::kMillisecond);

void BM_ReferenceFrameOfAnEmptyWindow(benchmark::State& state)
{
    resetApplication();
    auto window = ui::Window::create();
    window->setBackgroundColor(gfx::Color::white());
    window->makeKeyAndVisible();
    for (auto _ : state)
        benchmark::DoNotOptimize(ui::Renderer::renderScreen(1));
    resetApplication();
}
BENCHMARK(BM_ReferenceFrameOfAnEmptyWindow)->Unit(benchmark::kMillisecond);

void BM_ReferenceFrameOfTheBoard(benchmark::State& state)
{
    useSampleContacts();
    resetApplication();
    launchToFirstFrame();
    for (auto _ : state)
        benchmark::DoNotOptimize(ui::Renderer::renderScreen(1));
    resetApplication();
}
BENCHMARK(BM_ReferenceFrameOfTheBoard)->Unit(benchmark::kMillisecond);

void BM_ReferenceParseOfTheBoardFile(benchmark::State& state)
{
    useSampleContacts();
    resetApplication();
    launchToFirstFrame();
    resetApplication();
    auto text = BoardFile::read().value_or("");
    for (auto _ : state)
        benchmark::DoNotOptimize(DDXMLDocument::createWithXMLStringOptionsError(text, 0, nullptr));
}
BENCHMARK(BM_ReferenceParseOfTheBoardFile)->Unit(benchmark::kMicrosecond);

}

int main(int argc, char** argv)
{
    fnd::Log::setWritesToStandardError(false);
    home();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
