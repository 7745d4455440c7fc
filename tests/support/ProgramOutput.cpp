#include "support/ProgramOutput.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>

namespace brenzo::testing {

bool ProgramOutput::containsLine(std::string_view fragment) const
{
    return std::any_of(lines.begin(), lines.end(), [&](auto& line) { return line.find(fragment) != std::string::npos; });
}

ProgramOutput runShellCommand(const std::string& commandLine)
{
    ProgramOutput result;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(commandLine.c_str(), "r"), pclose);
    if (!pipe)
        return result;
    std::string output;
    char buffer[4096];
    while (size_t count = std::fread(buffer, 1, sizeof(buffer), pipe.get()))
        output.append(buffer, count);
    result.status = pclose(pipe.release());
    std::istringstream printed(output);
    for (std::string line; std::getline(printed, line);)
        result.lines.push_back(line);
    return result;
}

}
