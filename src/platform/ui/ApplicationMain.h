#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

struct LaunchOptions;

// Run once the command line is read, before the delegate is made: the application's own start-up
// configuration. An error text stops the launch with status 2.
using LaunchPreparation = std::function<std::optional<std::string>(const LaunchOptions&)>;

// What main() calls: starts the simulated device. Reads the command line (see LaunchOptions),
// sets the home folder and the screen's scale, creates the application's delegate from its class
// name (registered with rt::ClassRegistry as a ui::ApplicationDelegate, or as an fnd::Object that is
// one), launches the application and hands the terminal to the TerminalDriver: the commands of
// --script on a virtual clock, or of standard input on the real one. Answers the process's exit
// status: 0, 1 when a command failed or the delegate is unknown, 2 for a bad command line.
int ApplicationMain(int argc, char** argv, std::string_view delegateClassName, const LaunchPreparation& = {});

}
