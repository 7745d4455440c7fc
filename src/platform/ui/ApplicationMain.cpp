#include "platform/ui/ApplicationMain.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/LaunchOptions.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TerminalDriver.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include <unistd.h>

namespace ui {

namespace {

std::shared_ptr<ApplicationDelegate> makeDelegate(std::string_view className)
{
    auto& registry = rt::ClassRegistry::shared();
    if (auto delegate = registry.create<ApplicationDelegate>(className))
        return delegate;
    return std::dynamic_pointer_cast<ApplicationDelegate>(registry.create<fnd::Object>(className));
}

}

int ApplicationMain(int argc, char** argv, std::string_view delegateClassName, const LaunchPreparation& prepare)
{
    std::string program = argc > 0 && argv[0] ? argv[0] : "brenzo";
    std::vector<std::string> arguments(argv + std::min(argc, 1), argv + std::max(argc, 1));
    std::string problem;
    auto options = LaunchOptions::parse(arguments, problem);
    if (!options) {
        std::cerr << program << ": " << problem << '\n' << LaunchOptions::usage(program) << '\n';
        return 2;
    }
    LaunchOptions::setCurrent(*options);
    if (prepare) {
        if (auto failure = prepare(*options)) {
            std::cerr << program << ": " << *failure << '\n';
            return 2;
        }
    }

    std::ifstream script;
    if (options->script) {
        std::error_code ignored;
        if (std::filesystem::is_directory(*options->script, ignored)) {
            std::cerr << program << ": the script \"" << options->script->string() << "\" is a folder, not a file of commands\n";
            return 2;
        }
        script.open(*options->script);
        if (!script) {
            std::cerr << program << ": cannot read the script \"" << options->script->string() << "\"\n";
            return 2;
        }
        // A scripted session runs on virtual time from now, so its delays are exact and instant.
        fnd::Clock::setCurrent(std::make_shared<fnd::VirtualClock>(options->date.value_or(fnd::RealClock().now())));
    }
    fnd::FileManager::setHomeDirectory(options->home ? *options->home : fnd::FileManager::defaultHomeDirectory());
    Screen::mainScreen().setScale(options->scale);

    auto& loop = fnd::RunLoop::main();
    auto delegate = makeDelegate(delegateClassName);
    if (!delegate) {
        std::cerr << program << ": no application delegate class named \"" << delegateClassName << "\"\n";
        return 1;
    }
    // The terminal listens before the launch, so that what the launch shows (an alert) is printed.
    TerminalDriver terminal(std::cout, options->scale);
    bool interactive = !options->script;
    if (interactive && isatty(STDIN_FILENO))
        std::cout << TerminalDriver::greeting << std::endl;
    auto& application = Application::shared();
    application.setDelegate(delegate);
    application.finishLaunching();
    application.becomeActive();
    loop.runUntilIdle();

    int status = interactive ? terminal.runInteractive(std::cin) : terminal.runScript(script);

    application.resignActive();
    loop.runUntilIdle();
    loop.shutDown();
    return status;
}

}
