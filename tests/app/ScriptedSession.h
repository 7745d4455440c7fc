#pragma once

#include "support/FileContents.h"
#include "support/ProgramOutput.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace brenzo::testing {

// What one run of the application printed, and how it ended.
using Session = ProgramOutput;

size_t occurrences(const std::string& text, std::string_view fragment);

// Runs the real application, as scripts/run starts it, on a home folder of its own: each run() is
// one launch on a script, and later runs are relaunches on the same home.
class ScriptedSession : public ::testing::Test {
protected:
    // `options` are more command-line words, already quoted for the shell.
    Session run(const std::string& script, const std::string& options = {});

    std::filesystem::path home() const { return m_folder.path() / "home"; }
    std::filesystem::path boardFile() const { return home() / "Documents" / "main.xml"; }
    // What the application wrote to the log (standard error) in the last run.
    std::string log() const { return readFile(m_folder.path() / "log.txt"); }

    TemporaryDirectory m_folder;
};

}
