#pragma once

#include "platform/device/PrintInfo.h"
#include "platform/foundation/Error.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Rect.h"
#include "platform/ui/ActionSheetDelegate.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace ui {
class ActionSheet;
class View;
}

namespace device {

// Printing a picture: the print dialog offers "Print" and "Cancel" (a sheet on a phone, a popover
// pointing at a rectangle on a tablet). Print lays the picture out on an A4 page, fitted within
// half-inch margins and turned to grey for grayscale jobs, and writes it as a PDF to the home's
// "Printouts/" folder; the completion hears whether it printed, and the error when the file could
// not be written. One job is shown at a time.
class PrintInteractionController : public ui::ActionSheetDelegate, public std::enable_shared_from_this<PrintInteractionController> {
public:
    using Completion = std::function<void(PrintInteractionController&, bool completed, const fnd::Ref<fnd::Error>&)>;

    static constexpr gfx::Size pageSize { 595, 842 };

    // Whether the device can print; yes unless switched off.
    static bool isPrintingAvailable();
    static void setPrintingAvailable(bool);
    static std::shared_ptr<PrintInteractionController> sharedPrintController();
    static std::filesystem::path printoutsDirectory();

    const std::shared_ptr<PrintInfo>& printInfo() const { return m_printInfo; }
    void setPrintInfo(std::shared_ptr<PrintInfo> info) { m_printInfo = std::move(info); }
    bool showsPageRange() const { return m_showsPageRange; }
    void setShowsPageRange(bool shows) { m_showsPageRange = shows; }
    const fnd::Ref<gfx::Image>& printingItem() const { return m_item; }
    void setPrintingItem(fnd::Ref<gfx::Image> item) { m_item = std::move(item); }

    // Shows the dialog; answers false (and the completion never runs) when printing is unavailable,
    // there is nothing to print, or a dialog already shows.
    bool present(bool animated, Completion);
    bool presentFromRectInView(const gfx::Rect&, ui::View&, bool animated, Completion);
    bool isPresented() const { return static_cast<bool>(m_sheet); }
    // The dialog's sheet while it shows.
    const std::shared_ptr<ui::ActionSheet>& dialog() const { return m_sheet; }
    void dismiss(bool animated);

    // The dialog's buttons: Print writes the PDF, Cancel ends without printing.
    void print();
    void cancel();
    const std::optional<std::filesystem::path>& lastPrintout() const { return m_lastPrintout; }

    // Writes the item as a one-page PDF; answers false with the error.
    bool writePDF(const std::filesystem::path&, fnd::Ref<fnd::Error>* = nullptr) const;

    void clickedButtonAtIndex(ui::ActionSheet&, int buttonIndex) override;

    PrintInteractionController() = default;

private:
    bool prepareDialog(Completion);
    void finish(bool completed, const fnd::Ref<fnd::Error>&);

    std::shared_ptr<PrintInfo> m_printInfo;
    bool m_showsPageRange = true;
    fnd::Ref<gfx::Image> m_item;
    std::shared_ptr<ui::ActionSheet> m_sheet;
    Completion m_completion;
    std::optional<std::filesystem::path> m_lastPrintout;
};

}
