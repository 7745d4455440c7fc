#include "BoardTest.h"

#include "board/BoardFile.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/String.h"

#include <clocale>
#include <fstream>
#include <sstream>

namespace brenzo::testing {

namespace {

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

}

class BoardFileTest : public BoardTest { };

TEST_F(BoardFileTest, TheFirstLaunchWritesTheDefaultBoardByteForByte)
{
    showBoard();
    auto text = boardFileText();
    ASSERT_TRUE(text);
    auto golden = readFile(std::string(BRENZO_SOURCE_DIR) + "/tests/board/first-launch-main.xml");
    EXPECT_EQ(*text, golden);
}

}
