#include "support/FileContents.h"

#include <fstream>
#include <sstream>

namespace brenzo::testing {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}
