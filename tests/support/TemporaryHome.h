#pragma once

#include "support/TemporaryDirectory.h"

#include <filesystem>

namespace brenzo::testing {

// Points the application's home folder at a fresh temporary folder with its own standard user
// defaults for as long as it lives, then puts the previous home back; the standard defaults are
// opened again from that home when next asked for.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const std::filesystem::path& path() const { return m_directory.path(); }

private:
    TemporaryDirectory m_directory;
    std::filesystem::path m_previousHome;
};

}
