#include "platform/device/Pasteboard.h"
#include "platform/device/PhotoAlbum.h"
#include "platform/device/PrintInteractionController.h"
#include "platform/foundation/FileManager.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Device.h"
#include "platform/ui/Effects.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/TerminalDriver.h"
#include "platform/ui/Window.h"
#include "support/ui/RootScreenTest.h"
#include "support/ui/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace brenzo::testing {
namespace {

fnd::Ref<gfx::Image> makeImage(double width, double height, gfx::Color color)
{
    auto context = gfx::ImageContext::create({ width, height }, true, 1);
    context->setFillColor(color);
    context->fillRect({ 0, 0, width, height });
    return context->image();
}

std::string contents(const std::filesystem::path& path)
{
    auto data = fnd::FileManager::contentsOfFile(path);
    return data ? std::string(data->span().begin(), data->span().end()) : std::string();
}

class DeviceServicesTest : public RootScreenTest {
protected:
    ~DeviceServicesTest() override
    {
        device::PrintInteractionController::setPrintingAvailable(true);
        auto printer = device::PrintInteractionController::sharedPrintController();
        printer->cancel();
        printer->setPrintInfo(nullptr);
        printer->setPrintingItem(nullptr);
        resetSimulatedDevice();
    }
};

TEST_F(DeviceServicesTest, PasteboardHoldsATextOrAPicture)
{
    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    auto& pasteboard = device::Pasteboard::generalPasteboard();
    auto before = pasteboard.changeCount();
    pasteboard.setString("http://example.org/brenzo");
    EXPECT_EQ(pasteboard.string(), "http://example.org/brenzo");
    EXPECT_FALSE(pasteboard.image());
    pasteboard.setImage(makeImage(30, 20, gfx::Color::white()));
    EXPECT_FALSE(pasteboard.string());
    ASSERT_TRUE(pasteboard.image());
    EXPECT_EQ(pasteboard.image()->size(), gfx::Size(30, 20));
    EXPECT_EQ(pasteboard.changeCount(), before + 2);
    EXPECT_EQ(output.str(), "copied \"http://example.org/brenzo\"\ncopied an image of 30 x 20 points\n");
    pasteboard.clear();
    EXPECT_FALSE(pasteboard.image());
}

TEST_F(DeviceServicesTest, SavedPhotosGoToPicturesAndThePickerOffersThem)
{
    auto red = makeImage(40, 30, gfx::Color(1, 0, 0));
    fnd::Ref<fnd::Error> error;
    auto first = device::PhotoAlbum::saveImage(*red, &error);
    ASSERT_TRUE(first) << (error ? error->localizedDescription() : "");
    EXPECT_EQ(*first, m_home.path() / "Pictures" / "IMG_0001.png");
    auto reread = gfx::Image::createWithContentsOfFile(*first);
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->size(), gfx::Size(40, 30));
    EXPECT_EQ(reread->pixelAt(5, 5).red, 255);

    fnd::Ref<fnd::Error> reported = fnd::Error::withDescription("x", 1, "not called");
    device::PhotoAlbum::saveImage(red, [&](const fnd::Ref<fnd::Error>& outcome) { reported = outcome; });
    EXPECT_TRUE(reported);
    m_time.runUntilIdle();
    EXPECT_FALSE(reported);
    EXPECT_EQ(ui::ImagePickerController::photoNames(), (std::vector<std::string> { "IMG_0001.png", "IMG_0002.png" }));

    // A folder that cannot be made fails the save and says why.
    ASSERT_TRUE(fnd::FileManager::removeItem(m_home.path() / "Pictures"));
    ASSERT_TRUE(fnd::FileManager::writeAtomically(m_home.path() / "Pictures", std::string_view("file")));
    device::PhotoAlbum::saveImage(red, [&](const fnd::Ref<fnd::Error>& outcome) { reported = outcome; });
    m_time.runUntilIdle();
    EXPECT_TRUE(reported);
}

class RecordingPickerDelegate : public ui::ImagePickerControllerDelegate {
public:
    void didFinishPickingMediaWithInfo(ui::ImagePickerController& picker, const fnd::Ref<fnd::Dictionary>& info) override
    {
        picked = fnd::as<gfx::Image>(info->objectForKey(ui::ImagePickerController::originalImageKey));
        mediaType = info->stringForKey(ui::ImagePickerController::mediaTypeKey).value_or("");
        picker.dismissViewController(true);
    }
    void imagePickerControllerDidCancel(ui::ImagePickerController& picker) override
    {
        ++cancels;
        picker.dismissViewController(true);
    }
    fnd::Ref<gfx::Image> picked;
    std::string mediaType;
    int cancels = 0;
};

TEST_F(DeviceServicesTest, ImagePickerAnswersWithAPhotoOrACancel)
{
    EXPECT_TRUE(ui::ImagePickerController::isSourceTypeAvailable(ui::ImagePickerSourceType::PhotoLibrary));
    EXPECT_FALSE(ui::ImagePickerController::isSourceTypeAvailable(ui::ImagePickerSourceType::Camera));
    device::PhotoAlbum::saveImage(*makeImage(20, 10, gfx::Color(0, 0, 1)));
    auto delegate = std::make_shared<RecordingPickerDelegate>();
    auto picker = ui::ImagePickerController::create();
    picker->setDelegate(delegate);
    m_root->presentViewController(picker, true);
    m_time.runUntilIdle();

    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    terminal.execute("press \"IMG_0001.png\"", 1);
    ASSERT_TRUE(delegate->picked);
    EXPECT_EQ(delegate->picked->size(), gfx::Size(20, 10));
    EXPECT_EQ(delegate->mediaType, "public.image");
    EXPECT_EQ(output.str(), "picked photo IMG_0001.png\n");
    m_time.runUntilIdle();
    EXPECT_FALSE(m_root->presentedViewController());

    auto second = ui::ImagePickerController::create(ui::ImagePickerSourceType::SavedPhotosAlbum);
    second->setDelegate(delegate);
    EXPECT_FALSE(second->pickImageAtPath(m_home.path() / "nothing.png"));
    m_root->presentViewController(second, true);
    m_time.runUntilIdle();
    terminal.execute("press \"Cancel\"", 2);
    EXPECT_EQ(delegate->cancels, 1);
}

struct PrintOutcome {
    bool completed;
    fnd::Ref<fnd::Error> error;
};

TEST_F(DeviceServicesTest, PrintingWritesAOnePagePDF)
{
    auto printer = device::PrintInteractionController::sharedPrintController();
    EXPECT_FALSE(printer->present(true, nullptr)) << "nothing to print";
    auto info = device::PrintInfo::create();
    info->setOutputType(device::PrintOutputType::Photo);
    printer->setPrintInfo(info);
    printer->setShowsPageRange(false);
    printer->setPrintingItem(makeImage(300, 200, gfx::Color(0, 0.5, 0)));

    std::vector<PrintOutcome> outcomes;
    auto completion = [&](device::PrintInteractionController&, bool completed, const fnd::Ref<fnd::Error>& error) {
        outcomes.push_back({ completed, error });
    };
    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    ASSERT_TRUE(printer->present(true, completion));
    EXPECT_FALSE(printer->present(true, completion)) << "one dialog at a time";
    terminal.execute("press \"Print\"", 1);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].completed);
    EXPECT_FALSE(outcomes[0].error);
    auto path = m_home.path() / "Printouts" / "printout-0001.pdf";
    EXPECT_EQ(printer->lastPrintout(), path);
    auto pdf = contents(path);
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    std::smatch match;
    EXPECT_TRUE(std::regex_search(pdf, match, std::regex("/Type /Pages[^>]*/Count 1"))) << "one page";
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 595 842 ]"), std::string::npos);
    EXPECT_FALSE(printer->isPresented());
    EXPECT_NE(output.str().find("printed Printouts/printout-0001.pdf\n"), std::string::npos);

    // Cancel ends without printing and without an error.
    ASSERT_TRUE(printer->present(true, completion));
    terminal.execute("press \"Cancel\"", 2);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_FALSE(outcomes[1].completed);
    EXPECT_FALSE(outcomes[1].error);
    EXPECT_FALSE(fnd::FileManager::fileExists(m_home.path() / "Printouts" / "printout-0002.pdf"));

    device::PrintInteractionController::setPrintingAvailable(false);
    EXPECT_FALSE(printer->present(true, completion));
}

TEST_F(DeviceServicesTest, OnATabletTheDialogPointsAtItsRectangle)
{
    ui::Device::current().setUserInterfaceIdiom(ui::UserInterfaceIdiom::Pad);
    auto printer = device::PrintInteractionController::sharedPrintController();
    printer->setPrintingItem(makeImage(10, 10, gfx::Color::black()));
    auto view = m_root->view();
    bool finished = false;
    ASSERT_TRUE(printer->presentFromRectInView({ 160, 230, 320, 460 }, *view, true,
        [&](device::PrintInteractionController&, bool completed, const fnd::Ref<fnd::Error>&) { finished = !completed; }));
    ASSERT_TRUE(printer->dialog());
    EXPECT_TRUE(printer->dialog()->isInPopover());
    EXPECT_EQ(printer->dialog()->anchorRect(), gfx::Rect(160, 250, 320, 460));
    printer->cancel();
    EXPECT_TRUE(finished);
    EXPECT_FALSE(ui::ModalPanelRegistry::shared().topmost());
}

TEST_F(DeviceServicesTest, AFailedPrintoutReportsItsError)
{
    ASSERT_TRUE(fnd::FileManager::writeAtomically(m_home.path() / "Printouts", std::string_view("file")));
    auto printer = device::PrintInteractionController::sharedPrintController();
    printer->setPrintingItem(makeImage(10, 10, gfx::Color::black()));
    PrintOutcome outcome { true, nullptr };
    ASSERT_TRUE(printer->present(false, [&](device::PrintInteractionController&, bool completed, const fnd::Ref<fnd::Error>& error) {
        outcome = { completed, error };
    }));
    printer->print();
    EXPECT_FALSE(outcome.completed);
    EXPECT_TRUE(outcome.error);
}

}
}
