#include "ScriptedSession.h"

#include <fstream>

namespace brenzo::testing {

size_t occurrences(const std::string& text, std::string_view fragment)
{
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + fragment.size()))
        ++count;
    return count;
}

Session ScriptedSession::run(const std::string& script, const std::string& options)
{
    auto scriptPath = m_folder.path() / "session.txt";
    std::ofstream(scriptPath) << script;
    std::string command = std::string("'") + BRENZO_APP_PATH + "' --home '" + home().string() + "' --script '" + scriptPath.string() + "' " + options + " 2>'"
        + (m_folder.path() / "log.txt").string() + "'";
    return runShellCommand(command);
}

}
