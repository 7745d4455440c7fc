#include "BoardTest.h"

#include "platform/addressbook/AddressBook.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Thread.h"
#include "support/ui/SimulatedDevice.h"

#include <fstream>
#include <sstream>

namespace brenzo::testing {

BoardTest::BoardTest()
{
    resetSimulatedDevice();
    ab::AddressBook::useEmptyBook();
}

BoardTest::~BoardTest()
{
    fnd::Thread::waitForDetachedThreads(10);
    m_window = nullptr;
    resetSimulatedDevice();
    ab::AddressBook::useEmptyBook();
}

std::shared_ptr<BrenzoViewController> BoardTest::showBoard()
{
    m_window = ui::Window::create();
    m_window->setBackgroundColor(gfx::Color::white());
    auto board = BrenzoViewController::create();
    m_window->addSubview(board->view());
    m_window->makeKeyAndVisible();
    runUntilIdle();
    return board;
}

std::filesystem::path BoardTest::documents() const
{
    return fnd::FileManager::documentsDirectory();
}

std::optional<std::string> BoardTest::boardFileText() const
{
    std::ifstream file(documents() / "main.xml", std::ios::binary);
    if (!file)
        return std::nullopt;
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void BoardTest::writeBoardFile(const std::string& text) const
{
    std::ofstream(documents() / "main.xml", std::ios::binary) << text;
}

gfx::Point BoardTest::screenPointOf(const TouchImageView& picture)
{
    return picture.convertPointToScreen({ picture.bounds().midX(), picture.bounds().midY() });
}

std::string floorElement(const std::string& image, const std::string& type, int id, const std::string& title, const std::string& children,
    const std::string& badge)
{
    return fnd::format("<floor><background>%@</background><type>%@</type><parameters>tel:0612345678</parameters><title>%@</title>"
                       "<id>%d</id><center x=\"160\" y=\"85\"/>%@<size width=\"90\" height=\"90\"/>"
                       "<transform a=\"1\" b=\"0\" c=\"0\" d=\"1\" tx=\"0\" ty=\"0\"/>%@</floor>",
        image, type, title, id, badge, children);
}

}
