#pragma once

#include "platform/ui/TouchDriver.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class TextInput;

// Drives the simulated device from text commands, one per line (`help` lists them: taps and
// gestures, press "TEXT", typing, wait SECONDS, send OPERATION, screenshots...).
// Coordinates are screen points (the status bar included, so the application frame starts at
// y = 20). Blank lines and lines starting with "#" are skipped. Every effect the phone shows outside
// the screen is printed as one line as it happens; a command that cannot be carried out prints
// "error: line N: ..." and the session goes on. After each command the main run loop runs the
// work that is ready. `open-url` prints whether the application accepted the URL. Layers above
// this one add their own commands with addCommand().
class TerminalDriver {
public:
    // Runs a command added by the application: gets the words after the command's name and a way
    // to print lines, and answers an error text (printed as "error: line N: ...") or nothing.
    using Print = std::function<void(const std::string&)>;
    using AddedCommand = std::function<std::optional<std::string>(const std::vector<std::string>& arguments, const Print&)>;
    // A later command of the same name replaces the earlier one; built-in commands cannot be
    // replaced. `help` lists the usage and summary after the built-in commands.
    static void addCommand(std::string name, std::string usage, std::string summary, AddedCommand);

    explicit TerminalDriver(std::ostream& output, double screenshotScale = 0);
    ~TerminalDriver();
    TerminalDriver(const TerminalDriver&) = delete;
    TerminalDriver& operator=(const TerminalDriver&) = delete;

    // A scripted session: the caller has installed a virtual clock. Answers 0, or 1 when a command
    // failed.
    int runScript(std::istream&);
    // Commands as they are typed, with the run loop (and the real clock) going between them.
    int runInteractive(std::istream&);

    // What an interactive session prints first.
    static constexpr std::string_view greeting = "The phone is running. Type \"help\" for the commands.";
    // Gestures take at most this many steps.
    static constexpr int maximumSteps = 10000;
    // The longest single `wait`, in seconds (a year).
    static constexpr double maximumWait = 366 * 86400;
    // How far from the centre `rotate` puts its two fingers, in points.
    static constexpr double rotationRadius = 40;

    // Runs one line; answers false after "quit".
    bool execute(std::string_view line, int lineNumber);
    bool hadErrors() const { return m_errorCount > 0; }

    // Splits a command line into words; double quotes group words and take \" \\ \n \t escapes.
    // Nothing for an unterminated quote.
    static std::optional<std::vector<std::string>> splitWords(std::string_view line);

    // One line per command: its usage and what it does.
    static std::vector<std::string> helpLines();

private:
    using Words = std::vector<std::string>;
    struct Command;
    static const std::vector<Command>& commands();

    // One per command; the table in the source file checks the number of words first.
    void tapCommand(const Words&, int lineNumber);
    void dragCommand(const Words&, int lineNumber);
    void pinchCommand(const Words&, int lineNumber);
    void pressCommand(const Words&, int lineNumber);
    void typeCommand(const Words&, int lineNumber);
    void waitCommand(const Words&, int lineNumber);
    void openURLCommand(const Words&, int lineNumber);
    void screenshotCommand(const Words&, int lineNumber);
    void treeCommand(const Words&, int lineNumber);
    void rotateCommand(const Words&, int lineNumber);
    void sendCommand(const Words&, int lineNumber);
    void clearCommand(const Words&, int lineNumber);
    void deleteCommand(const Words&, int lineNumber);
    void helpCommand(const Words&, int lineNumber);
    void quitCommand(const Words&, int lineNumber);

    void error(int lineNumber, const std::string& message);
    void print(const std::string& line);
    bool expectArguments(const std::vector<std::string>& words, size_t minimum, size_t maximum, std::string_view usage, int lineNumber);
    std::optional<double> number(const std::string& word, int lineNumber);
    // Every word after the command as a number; nothing (and an error printed) when one is not.
    std::optional<std::vector<double>> numbersAfterCommand(const std::vector<std::string>& words, int lineNumber);
    // A count from 1 to maximumSteps at `index`; nothing (and an error naming it) otherwise.
    std::optional<int> wholeCount(const std::vector<double>& values, size_t index, std::string_view name, int lineNumber);
    // Reads the numbers of a gesture, whose optional step count is at `stepsIndex` (10 without), and
    // plays it.
    void playGesture(const Words&, int lineNumber, size_t stepsIndex, const std::function<void(const std::vector<double>&, int steps)>&);
    void waitFor(double seconds);
    void settle(std::chrono::steady_clock::time_point deadline);
    TextInput* textInput(int lineNumber);
    void typeText(const std::string& text, int lineNumber);
    void printTree();

    std::ostream& m_output;
    double m_screenshotScale;
    TouchDriver m_touches;
    size_t m_effectsToken;
    int m_errorCount = 0;
    bool m_quitting = false;
};

}
