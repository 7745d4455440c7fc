#pragma once

// The shared JSON documents both JSON benchmark programs read.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace benchmarkDocuments {

inline const std::vector<std::string> documentNames = { "twitter", "citm_catalog", "canada" };

inline std::filesystem::path dataFolder()
{
    return std::filesystem::path(BRENZO_SHARED_DATA_DIR) / "json";
}

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

}
