#include "platform/ui/LaunchOptions.h"

namespace ui {

namespace {

LaunchOptions& currentOptions()
{
    static LaunchOptions options;
    return options;
}

}

std::optional<LaunchOptions> LaunchOptions::parse(const std::vector<std::string>& arguments, std::string& error)
{
    LaunchOptions options;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const auto& argument = arguments[index];
        bool takesValue = argument == "--home" || argument == "--contacts" || argument == "--services" || argument == "--tweet-sheet" || argument == "--script" || argument == "--scale";
        if (!takesValue) {
            error = "unknown option \"" + argument + "\"";
            return std::nullopt;
        }
        if (index + 1 >= arguments.size()) {
            error = "option " + argument + " needs a value";
            return std::nullopt;
        }
        const auto& value = arguments[++index];
        if (argument == "--home") {
            options.home = value;
        } else if (argument == "--contacts") {
            options.contacts = value;
        } else if (argument == "--services") {
            options.services = value;
        } else if (argument == "--tweet-sheet") {
            if (value != "on" && value != "off") {
                error = "--tweet-sheet takes on or off, not \"" + value + "\"";
                return std::nullopt;
            }
            options.tweetSheet = value == "on";
        } else if (argument == "--script") {
            options.script = value;
        } else if (value == "1" || value == "2") {
            options.scale = value == "2" ? 2 : 1;
        } else {
            error = "--scale takes 1 or 2, not \"" + value + "\"";
            return std::nullopt;
        }
    }
    return options;
}

std::string LaunchOptions::usage(std::string_view program)
{
    return "usage: " + std::string(program) + " [--home DIR] [--contacts FILE.vcf] [--services FILE] [--tweet-sheet on|off] [--script FILE] [--scale 1|2]";
}

const LaunchOptions& LaunchOptions::current()
{
    return currentOptions();
}

void LaunchOptions::setCurrent(LaunchOptions options)
{
    currentOptions() = std::move(options);
}

}
