#include "platform/ui/LaunchOptions.h"

#include <charconv>
#include <ctime>

namespace ui {

namespace {

LaunchOptions& currentOptions()
{
    static LaunchOptions options;
    return options;
}

// Reads a fixed-width unsigned field; nothing for anything else.
std::optional<int> field(std::string_view text, size_t offset, size_t width)
{
    if (offset + width > text.size())
        return std::nullopt;
    int value = 0;
    auto digits = text.substr(offset, width);
    auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (failure != std::errc() || end != digits.data() + digits.size() || digits.front() == '+' || digits.front() == '-')
        return std::nullopt;
    return value;
}

}

std::optional<double> LaunchOptions::parseDate(std::string_view text)
{
    if (text.size() != 10 && text.size() != 20)
        return std::nullopt;
    auto year = field(text, 0, 4), month = field(text, 5, 2), day = field(text, 8, 2);
    if (!year || !month || !day || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    std::optional<int> hour = 0, minute = 0, second = 0;
    if (text.size() == 20) {
        hour = field(text, 11, 2), minute = field(text, 14, 2), second = field(text, 17, 2);
        if (!hour || !minute || !second || text[10] != 'T' || text[13] != ':' || text[16] != ':' || text[19] != 'Z')
            return std::nullopt;
    }
    if (*year < 1970 || *month < 1 || *month > 12 || *day < 1 || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    std::tm parts {};
    parts.tm_year = *year - 1900;
    parts.tm_mon = *month - 1;
    parts.tm_mday = *day;
    parts.tm_hour = *hour;
    parts.tm_min = *minute;
    parts.tm_sec = *second;
    auto seconds = timegm(&parts);
    // timegm rolls 31 February over into March; such a day does not exist.
    if (seconds == -1 || parts.tm_mday != *day || parts.tm_mon != *month - 1)
        return std::nullopt;
    return double(seconds);
}

std::optional<LaunchOptions> LaunchOptions::parse(const std::vector<std::string>& arguments, std::string& error)
{
    LaunchOptions options;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const auto& argument = arguments[index];
        bool takesValue = argument == "--home" || argument == "--contacts" || argument == "--services" || argument == "--tweet-sheet" || argument == "--script" || argument == "--scale"
            || argument == "--date";
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
        } else if (argument == "--date") {
            options.date = parseDate(value);
            if (!options.date) {
                error = "--date takes a UTC date like 2027-01-15T10:00:00Z, not \"" + value + "\"";
                return std::nullopt;
            }
        } else if (value == "1" || value == "2") {
            options.scale = value == "2" ? 2 : 1;
        } else {
            error = "--scale takes 1 or 2, not \"" + value + "\"";
            return std::nullopt;
        }
    }
    if (options.date && !options.script) {
        error = "--date needs --script: only a scripted session runs on the virtual clock";
        return std::nullopt;
    }
    return options;
}

std::string LaunchOptions::usage(std::string_view program)
{
    return "usage: " + std::string(program) + " [--home DIR] [--contacts FILE.vcf] [--services FILE] [--tweet-sheet on|off] [--script FILE [--date DATE]] [--scale 1|2]";
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
