#pragma once

#include <filesystem>
#include <string>

namespace brenzo::testing {

// The whole file as bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path&);

}
