#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brenzo::testing {

// What a program printed on its standard output, line by line, and how it ended.
struct ProgramOutput {
    int status = -1;
    std::vector<std::string> lines;

    bool containsLine(std::string_view fragment) const;
};

// Runs a command line through the shell and waits for it to end.
ProgramOutput runShellCommand(const std::string& commandLine);

}
