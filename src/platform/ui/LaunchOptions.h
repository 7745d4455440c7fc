#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// The simulated device's command line: --home DIR, --contacts FILE.vcf, --services FILE,
// --tweet-sheet on|off, --script FILE, --scale 1|2, --date DATE.
struct LaunchOptions {
    std::optional<std::filesystem::path> home;
    // Stored for the application, which reads the address book from it.
    std::optional<std::filesystem::path> contacts;
    // Stored for the application: "key=address" lines that point its web services elsewhere.
    std::optional<std::filesystem::path> services;
    // Stored for the application: whether the system offers its tweet sheet (off by default).
    bool tweetSheet = false;
    std::optional<std::filesystem::path> script;
    double scale = 1;
    // Where a scripted session's virtual clock starts, in seconds since 1970 (UTC).
    std::optional<double> date;

    // Nothing, with a reason, for a command line it does not understand.
    static std::optional<LaunchOptions> parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string usage(std::string_view program);
    // "2027-01-15T10:00:00Z" or "2027-01-15" (midnight), always UTC, as seconds since 1970.
    static std::optional<double> parseDate(std::string_view);

    // What the running application was started with.
    static const LaunchOptions& current();
    static void setCurrent(LaunchOptions);
};

}
