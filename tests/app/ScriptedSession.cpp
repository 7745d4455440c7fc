#include "ScriptedSession.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace brenzo::testing {

bool Session::containsLine(std::string_view fragment) const
{
    for (auto& line : lines) {
        if (line.find(fragment) != std::string::npos)
            return true;
    }
    return false;
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

size_t occurrences(const std::string& text, std::string_view fragment)
{
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + fragment.size()))
        ++count;
    return count;
}

Session ScriptedSession::run(const std::string& script)
{
    auto scriptPath = m_folder.path() / "session.txt";
    std::ofstream(scriptPath) << script;
    std::string command = std::string("'") + BRENZO_APP_PATH + "' --home '" + home().string() + "' --script '" + scriptPath.string() + "' 2>'"
        + (m_folder.path() / "log.txt").string() + "'";
    Session session;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return session;
    std::string output;
    char buffer[4096];
    while (size_t count = std::fread(buffer, 1, sizeof(buffer), pipe.get()))
        output.append(buffer, count);
    session.status = pclose(pipe.release());
    std::istringstream printed(output);
    for (std::string line; std::getline(printed, line);)
        session.lines.push_back(line);
    return session;
}

}
