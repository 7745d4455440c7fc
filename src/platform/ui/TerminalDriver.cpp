#include "platform/ui/TerminalDriver.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/URL.h"
#include "platform/foundation/URLLoader.h"
#include "platform/runtime/OperationTable.h"
#include "platform/ui/Application.h"
#include "platform/ui/Effects.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <numbers>
#include <condition_variable>
#include <deque>
#include <functional>
#include <iostream>
#include <map>
#include <mutex>
#include <thread>

namespace ui {

namespace {

// The controller of the key window: its root, or else the controller of its frontmost view.
std::shared_ptr<ViewController> keyWindowController()
{
    auto window = Application::shared().keyWindow();
    if (!window)
        return nullptr;
    if (auto root = window->rootViewController())
        return root;
    auto subviews = window->subviews();
    for (auto view = subviews.rbegin(); view != subviews.rend(); ++view) {
        if (auto controller = (*view)->viewController())
            return controller;
    }
    return nullptr;
}

// What `send` talks to: the controller of the screen in front, the one presented last over the
// key window's controller, and within a navigation controller the screen it shows.
std::shared_ptr<ViewController> frontViewController()
{
    auto controller = keyWindowController();
    while (controller) {
        if (auto presented = controller->presentedViewController()) {
            controller = presented;
        } else if (auto* navigation = dynamic_cast<NavigationController*>(controller.get()); navigation && navigation->topViewController()) {
            controller = navigation->topViewController();
        } else {
            break;
        }
    }
    return controller;
}

// How long `wait` gives work on its way (the contact loader, a network reply) to arrive, in real
// seconds: generous, so that a busy machine changes nothing.
constexpr auto arrivalTimeout = std::chrono::seconds(30);

bool workIsUnderWay()
{
    return fnd::Thread::runningDetachedThreadCount() > 0 || fnd::URLLoader::shared().transfersUnderWay() > 0;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

struct AddedCommandEntry {
    std::string usage;
    std::string summary;
    TerminalDriver::AddedCommand run;
};

std::map<std::string, AddedCommandEntry, std::less<>>& addedCommands()
{
    static std::map<std::string, AddedCommandEntry, std::less<>> commands;
    return commands;
}

std::string helpLine(std::string_view usage, std::string_view summary)
{
    std::string line(usage);
    line.resize(std::max<size_t>(line.size() + 2, 30), ' ');
    return line + std::string(summary);
}

}

void TerminalDriver::addCommand(std::string name, std::string usage, std::string summary, AddedCommand command)
{
    addedCommands()[std::move(name)] = { std::move(usage), std::move(summary), std::move(command) };
}

TerminalDriver::TerminalDriver(std::ostream& output, double screenshotScale)
    : m_output(output)
    , m_screenshotScale(screenshotScale)
    , m_effectsToken(Effects::addObserver([this](const std::string& line) { print(line); }))
{
}

TerminalDriver::~TerminalDriver()
{
    Effects::removeObserver(m_effectsToken);
}

void TerminalDriver::print(const std::string& line)
{
    m_output << line << '\n';
    m_output.flush();
}

void TerminalDriver::error(int lineNumber, const std::string& message)
{
    ++m_errorCount;
    print("error: line " + std::to_string(lineNumber) + ": " + message);
}

std::optional<std::vector<std::string>> TerminalDriver::splitWords(std::string_view line)
{
    std::vector<std::string> words;
    size_t index = 0;
    while (index < line.size()) {
        while (index < line.size() && (line[index] == ' ' || line[index] == '\t' || line[index] == '\r'))
            ++index;
        if (index >= line.size())
            break;
        std::string word;
        if (line[index] == '"') {
            ++index;
            bool closed = false;
            while (index < line.size()) {
                char character = line[index++];
                if (character == '"') {
                    closed = true;
                    break;
                }
                if (character == '\\' && index < line.size()) {
                    char escaped = line[index++];
                    word += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                    continue;
                }
                word += character;
            }
            if (!closed)
                return std::nullopt;
        } else {
            while (index < line.size() && line[index] != ' ' && line[index] != '\t' && line[index] != '\r')
                word += line[index++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool TerminalDriver::expectArguments(const std::vector<std::string>& words, size_t minimum, size_t maximum, std::string_view usage, int lineNumber)
{
    size_t count = words.size() - 1;
    if (count >= minimum && count <= maximum)
        return true;
    error(lineNumber, "usage: " + std::string(usage));
    return false;
}

std::optional<double> TerminalDriver::number(const std::string& word, int lineNumber)
{
    double value = 0;
    auto [end, failure] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (failure != std::errc() || end != word.data() + word.size()) {
        error(lineNumber, "\"" + word + "\" is not a number");
        return std::nullopt;
    }
    if (!std::isfinite(value)) {
        error(lineNumber, "\"" + word + "\" is not a finite number");
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<double>> TerminalDriver::numbersAfterCommand(const std::vector<std::string>& words, int lineNumber)
{
    std::vector<double> values;
    for (size_t index = 1; index < words.size(); ++index) {
        auto value = number(words[index], lineNumber);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

std::optional<int> TerminalDriver::wholeCount(const std::vector<double>& values, size_t index, std::string_view name, int lineNumber)
{
    double value = values[index];
    // Checked before converting: a huge value has no integer.
    if (value < 1 || value > maximumSteps || value != std::floor(value)) {
        error(lineNumber, std::string(name) + " must be a whole number from 1 to " + std::to_string(maximumSteps));
        return std::nullopt;
    }
    return int(value);
}

void TerminalDriver::waitFor(double seconds)
{
    // What is already on its way arrives before the clock moves, so that a script's outcome does
    // not hang on how fast a peer answers: a reply that comes in while a command runs and one that
    // comes in a little later both land before the time passes.
    auto deadline = std::chrono::steady_clock::now() + arrivalTimeout;
    settle(deadline);
    fnd::RunLoop::main().advance(seconds);
    settle(deadline);
}

void TerminalDriver::settle(std::chrono::steady_clock::time_point deadline)
{
    // Worker threads and transfers finish on real time: wait for them, without moving the clock,
    // taking what they hand over meanwhile. A reply's handler often starts the next request (a
    // login page after its token), so this goes on until nothing is under way.
    auto& loop = fnd::RunLoop::main();
    do {
        while (workIsUnderWay() && std::chrono::steady_clock::now() < deadline) {
            loop.runUntilIdle();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        loop.runUntilIdle();
    } while (workIsUnderWay() && std::chrono::steady_clock::now() < deadline);
    loop.runUntilIdle();
}

TextInput* TerminalDriver::textInput(int lineNumber)
{
    auto* input = dynamic_cast<TextInput*>(Application::shared().firstResponder().get());
    if (!input)
        error(lineNumber, "nothing takes typed text (no text field is being edited)");
    return input;
}

void TerminalDriver::typeText(const std::string& text, int lineNumber)
{
    auto* input = textInput(lineNumber);
    if (!input)
        return;
    // The return key types a line feed, as on the device's keyboard.
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        auto segment = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!segment.empty())
            input->insertText(segment);
        if (end == std::string::npos)
            break;
        input = dynamic_cast<TextInput*>(Application::shared().firstResponder().get());
        if (!input)
            break;
        input->insertText("\n");
        fnd::RunLoop::main().runUntilIdle();
        input = dynamic_cast<TextInput*>(Application::shared().firstResponder().get());
        if (!input)
            break;
        start = end + 1;
    }
}

void TerminalDriver::printTree()
{
    auto& application = Application::shared();
    application.layoutIfNeeded();
    for (auto& window : application.windowsInDrawingOrder()) {
        auto text = window->treeDescription();
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            print(text.substr(start, end - start));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
}

struct TerminalDriver::Command {
    std::string_view name;
    // The words after the name; a count outside [minimum, maximum] prints the usage.
    size_t minimumArguments;
    size_t maximumArguments;
    std::string_view usage;
    std::string_view summary;
    void (TerminalDriver::*run)(const Words&, int lineNumber);
};

const std::vector<TerminalDriver::Command>& TerminalDriver::commands()
{
    static const std::vector<Command> table {
        { "tap", 2, 2, "tap X Y", "one finger taps the screen point", &TerminalDriver::tapCommand },
        { "double-tap", 2, 2, "double-tap X Y", "two quick taps", &TerminalDriver::tapCommand },
        { "drag", 4, 5, "drag X1 Y1 X2 Y2 [STEPS]", "one finger moves from one point to another", &TerminalDriver::dragCommand },
        { "pinch", 4, 5, "pinch X Y FROM TO [STEPS]", "two fingers around X Y move from FROM to TO points apart", &TerminalDriver::pinchCommand },
        { "press", 1, 1, "press \"TEXT\"", "a button, bar item, alert or sheet button or table row by its text", &TerminalDriver::pressCommand },
        { "type", 1, 1, "type \"TEXT\"", "types into the field being edited (\\n is the return key)", &TerminalDriver::typeCommand },
        { "wait", 1, 1, "wait SECONDS", "lets time pass, and replies on their way arrive", &TerminalDriver::waitCommand },
        { "open-url", 1, 1, "open-url URL", "the phone hands the application a URL", &TerminalDriver::openURLCommand },
        { "screenshot", 1, 1, "screenshot FILE.png", "writes the screen as a PNG picture", &TerminalDriver::screenshotCommand },
        { "rotate", 3, 4, "rotate X Y DEGREES [STEPS]", "two fingers around X Y turn (clockwise when positive)", &TerminalDriver::rotateCommand },
        { "clear", 0, 0, "clear", "empties the field being edited", &TerminalDriver::clearCommand },
        { "delete", 0, 1, "delete [COUNT]", "deletes characters before the cursor of the field being edited", &TerminalDriver::deleteCommand },
        { "send", 1, 1, "send OPERATION", "sends the front screen's controller an action by its name (send editAction:)", &TerminalDriver::sendCommand },
        { "tree", 0, 0, "tree", "prints the windows and their views", &TerminalDriver::treeCommand },
        { "help", 0, 0, "help", "lists the commands", &TerminalDriver::helpCommand },
        { "quit", 0, 0, "quit", "ends the session", &TerminalDriver::quitCommand },
    };
    return table;
}

std::vector<std::string> TerminalDriver::helpLines()
{
    std::vector<std::string> lines;
    for (auto& command : commands())
        lines.push_back(helpLine(command.usage, command.summary));
    for (auto& [name, command] : addedCommands())
        lines.push_back(helpLine(command.usage, command.summary));
    return lines;
}

void TerminalDriver::tapCommand(const Words& words, int lineNumber)
{
    auto x = number(words[1], lineNumber);
    auto y = x ? number(words[2], lineNumber) : std::nullopt;
    if (!y)
        return;
    if (words[0] == "tap")
        m_touches.tap({ *x, *y });
    else
        m_touches.doubleTap({ *x, *y });
}

void TerminalDriver::playGesture(const Words& words, int lineNumber, size_t stepsIndex, const std::function<void(const std::vector<double>&, int steps)>& play)
{
    auto values = numbersAfterCommand(words, lineNumber);
    if (!values)
        return;
    auto count = stepsIndex < values->size() ? wholeCount(*values, stepsIndex, "STEPS", lineNumber) : 10;
    if (count)
        play(*values, *count);
}

void TerminalDriver::dragCommand(const Words& words, int lineNumber)
{
    playGesture(words, lineNumber, 4, [this](auto& values, int steps) { m_touches.drag({ values[0], values[1] }, { values[2], values[3] }, steps); });
}

void TerminalDriver::pinchCommand(const Words& words, int lineNumber)
{
    playGesture(words, lineNumber, 4, [this](auto& values, int steps) { m_touches.pinch({ values[0], values[1] }, values[2], values[3], steps); });
}

void TerminalDriver::pressCommand(const Words& words, int lineNumber)
{
    auto result = PressFinder::press(words[1]);
    if (result.status == PressFinder::Result::Status::NotFound)
        error(lineNumber, "nothing to press for \"" + words[1] + "\"");
    else if (result.status == PressFinder::Result::Status::Disabled)
        error(lineNumber, result.description + " is disabled");
    else if (result.status == PressFinder::Result::Status::Ambiguous)
        error(lineNumber, "\"" + words[1] + "\" could be any of: " + result.description + "; nothing pressed");
}

void TerminalDriver::typeCommand(const Words& words, int lineNumber)
{
    typeText(words[1], lineNumber);
}

void TerminalDriver::waitCommand(const Words& words, int lineNumber)
{
    auto seconds = number(words[1], lineNumber);
    if (!seconds)
        return;
    if (*seconds < 0) {
        error(lineNumber, "cannot wait a negative time");
        return;
    }
    if (*seconds > maximumWait) {
        error(lineNumber, "cannot wait more than " + std::to_string(int(maximumWait)) + " seconds at once");
        return;
    }
    waitFor(*seconds);
}

void TerminalDriver::openURLCommand(const Words& words, int lineNumber)
{
    auto url = fnd::URL::create(words[1]);
    if (!url) {
        error(lineNumber, "\"" + words[1] + "\" is not a URL");
        return;
    }
    bool accepted = Application::shared().handleIncomingURL(*url);
    print((accepted ? "application accepted URL " : "application declined URL ") + url->absoluteString());
}

void TerminalDriver::screenshotCommand(const Words& words, int lineNumber)
{
    fnd::Ref<fnd::Error> failure;
    if (Renderer::writeScreenshot(words[1], m_screenshotScale, &failure))
        print("screenshot " + words[1]);
    else
        error(lineNumber, "could not write \"" + words[1] + "\": " + (failure ? failure->localizedDescription() : std::string("unknown error")));
}

void TerminalDriver::treeCommand(const Words&, int)
{
    printTree();
}

void TerminalDriver::rotateCommand(const Words& words, int lineNumber)
{
    playGesture(words, lineNumber, 3, [this](auto& values, int steps) {
        m_touches.rotate({ values[0], values[1] }, rotationRadius, 0, values[2] * std::numbers::pi / 180, steps);
    });
}

void TerminalDriver::clearCommand(const Words&, int lineNumber)
{
    auto* input = textInput(lineNumber);
    if (!input)
        return;
    // Each step deletes at least one character, so this ends.
    while (input->hasText())
        input->deleteBackward();
}

void TerminalDriver::deleteCommand(const Words& words, int lineNumber)
{
    auto values = numbersAfterCommand(words, lineNumber);
    if (!values)
        return;
    auto count = values->empty() ? 1 : wholeCount(*values, 0, "COUNT", lineNumber);
    auto* input = count ? textInput(lineNumber) : nullptr;
    for (int deleted = 0; input && deleted < *count && input->hasText(); ++deleted)
        input->deleteBackward();
}

void TerminalDriver::sendCommand(const Words& words, int lineNumber)
{
    auto controller = frontViewController();
    if (!controller) {
        error(lineNumber, "no screen to send \"" + words[1] + "\" to");
        return;
    }
    auto& operations = rt::OperationTable::shared();
    if (operations.perform(*controller, words[1], controller))
        return;
    std::string message = std::string(controller->className()) + " has no operation \"" + words[1] + "\"";
    auto known = operations.operationNames(*controller);
    for (size_t index = 0; index < known.size(); ++index)
        message += (index == 0 ? " (it has: " : ", ") + known[index] + (index + 1 == known.size() ? ")" : "");
    error(lineNumber, message);
}

void TerminalDriver::helpCommand(const Words&, int)
{
    for (auto& line : helpLines())
        print(line);
}

void TerminalDriver::quitCommand(const Words&, int)
{
    m_quitting = true;
}

bool TerminalDriver::execute(std::string_view rawLine, int lineNumber)
{
    auto line = trimmed(rawLine);
    if (line.empty() || line.front() == '#')
        return true;
    auto words = splitWords(line);
    if (!words) {
        error(lineNumber, "unterminated quote");
        return true;
    }
    const auto& name = words->front();
    auto& table = commands();
    auto command = std::find_if(table.begin(), table.end(), [&](auto& entry) { return entry.name == name; });
    if (command == table.end()) {
        if (auto added = addedCommands().find(name); added != addedCommands().end()) {
            std::vector<std::string> arguments(words->begin() + 1, words->end());
            if (auto failure = added->second.run(arguments, [this](const std::string& line) { print(line); }))
                error(lineNumber, *failure);
            fnd::RunLoop::main().runUntilIdle();
            return true;
        }
        error(lineNumber, "unknown command \"" + name + "\"");
        return true;
    }
    if (!expectArguments(*words, command->minimumArguments, command->maximumArguments, command->usage, lineNumber))
        return true;
    (this->*command->run)(*words, lineNumber);
    if (m_quitting)
        return false;
    fnd::RunLoop::main().runUntilIdle();
    return true;
}

int TerminalDriver::runScript(std::istream& input)
{
    std::string line;
    int lineNumber = 0;
    while (std::getline(input, line)) {
        ++lineNumber;
        if (!execute(line, lineNumber))
            break;
    }
    return hadErrors() ? 1 : 0;
}

int TerminalDriver::runInteractive(std::istream& input)
{
    // A reader thread hands lines over; the main thread keeps the run loop (timers, replies) going
    // while it waits for the next one.
    struct Queue {
        std::mutex lock;
        std::deque<std::string> lines;
        bool ended = false;
    };
    auto queue = std::make_shared<Queue>();
    std::thread reader([queue, &input] {
        std::string line;
        while (std::getline(input, line)) {
            {
                std::lock_guard guard(queue->lock);
                queue->lines.push_back(line);
            }
            fnd::RunLoop::main().post([] { });
        }
        std::lock_guard guard(queue->lock);
        queue->ended = true;
        fnd::RunLoop::main().post([] { });
    });
    reader.detach();

    auto& loop = fnd::RunLoop::main();
    int lineNumber = 0;
    for (;;) {
        loop.runUntil([&] {
            std::lock_guard guard(queue->lock);
            return !queue->lines.empty() || queue->ended;
        },
            1e7);
        std::string line;
        {
            std::lock_guard guard(queue->lock);
            if (queue->lines.empty())
                break;
            line = std::move(queue->lines.front());
            queue->lines.pop_front();
        }
        if (!execute(line, ++lineNumber))
            break;
    }
    return hadErrors() ? 1 : 0;
}

}
