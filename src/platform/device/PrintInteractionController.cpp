#include "platform/device/PrintInteractionController.h"

#include "platform/device/NumberedFile.h"
#include "platform/foundation/FileManager.h"
#include "platform/graphics/CairoHandles.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Application.h"
#include "platform/ui/Effects.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace device {

namespace {

constexpr double margin = 36;
constexpr int printButton = 0;

std::atomic<bool> printingAvailable { true };

struct PNGReader {
    std::span<const uint8_t> bytes;
    size_t position = 0;
};

cairo_status_t readPNG(void* closure, unsigned char* data, unsigned int length)
{
    auto* reader = static_cast<PNGReader*>(closure);
    if (reader->position + length > reader->bytes.size())
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes.data() + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

fnd::Ref<fnd::Error> printError(std::string description)
{
    return fnd::Error::withDescription(std::string(fnd::FileManager::errorDomain), fnd::FileManager::writeUnknownError, std::move(description));
}

}

bool PrintInteractionController::isPrintingAvailable()
{
    return printingAvailable;
}

void PrintInteractionController::setPrintingAvailable(bool available)
{
    printingAvailable = available;
}

std::shared_ptr<PrintInteractionController> PrintInteractionController::sharedPrintController()
{
    static auto controller = std::make_shared<PrintInteractionController>();
    return controller;
}

std::filesystem::path PrintInteractionController::printoutsDirectory()
{
    return fnd::FileManager::homeDirectory() / "Printouts";
}

bool PrintInteractionController::prepareDialog(Completion completion)
{
    if (!isPrintingAvailable() || !m_item || m_sheet)
        return false;
    m_completion = std::move(completion);
    std::string title = m_printInfo && !m_printInfo->jobName().empty() ? m_printInfo->jobName() : "Printer Options";
    m_sheet = ui::ActionSheet::create(title, shared_from_this(), "Cancel", {}, { "Print" });
    return true;
}

bool PrintInteractionController::present(bool, Completion completion)
{
    if (!prepareDialog(std::move(completion)))
        return false;
    auto window = ui::Application::shared().keyWindow();
    if (window)
        m_sheet->showInView(*window);
    else
        m_sheet->showFromRect(ui::Screen::mainScreen().bounds(), *m_sheet, false);
    return true;
}

bool PrintInteractionController::presentFromRectInView(const gfx::Rect& rect, ui::View& view, bool animated, Completion completion)
{
    if (!prepareDialog(std::move(completion)))
        return false;
    m_sheet->showFromRect(rect, view, animated);
    return true;
}

void PrintInteractionController::dismiss(bool animated)
{
    if (m_sheet)
        m_sheet->dismissWithClickedButtonIndex(m_sheet->cancelButtonIndex(), animated);
}

void PrintInteractionController::clickedButtonAtIndex(ui::ActionSheet&, int buttonIndex)
{
    if (buttonIndex == printButton)
        print();
    else
        cancel();
}

void PrintInteractionController::print()
{
    if (!m_sheet)
        return;
    auto path = NumberedFile::nextFreePath(printoutsDirectory(), "printout-", ".pdf");
    fnd::Ref<fnd::Error> error;
    if (path.empty()) {
        error = printError("The printouts folder cannot be written.");
    } else if (writePDF(path, &error)) {
        m_lastPrintout = path;
        ui::Effects::report("printed " + NumberedFile::displayPath(path));
        finish(true, nullptr);
        return;
    }
    ui::Effects::report("printing failed: " + error->localizedDescription());
    finish(false, error);
}

void PrintInteractionController::cancel()
{
    if (m_sheet)
        finish(false, nullptr);
}

void PrintInteractionController::finish(bool completed, const fnd::Ref<fnd::Error>& error)
{
    auto protect = shared_from_this();
    auto sheet = std::move(m_sheet);
    auto completion = std::move(m_completion);
    m_sheet.reset();
    m_completion = nullptr;
    // A button already takes the sheet away; a program's print or cancel must do it here.
    if (sheet && sheet->isVisible())
        sheet->dismissWithClickedButtonIndex(completed ? printButton : sheet->cancelButtonIndex(), true);
    if (completion)
        completion(*this, completed, error);
}

bool PrintInteractionController::writePDF(const std::filesystem::path& path, fnd::Ref<fnd::Error>* error) const
{
    auto png = m_item ? m_item->pngRepresentation() : nullptr;
    if (!png) {
        if (error)
            *error = printError("There is nothing to print.");
        return false;
    }
    PNGReader reader { png->span() };
    gfx::SurfacePtr picture(cairo_image_surface_create_from_png_stream(readPNG, &reader));
    if (cairo_surface_status(picture.get()) != CAIRO_STATUS_SUCCESS) {
        if (error)
            *error = printError("The picture cannot be printed.");
        return false;
    }
    bool landscape = m_printInfo && m_printInfo->orientation() == PrintOrientation::Landscape;
    double pageWidth = landscape ? pageSize.height : pageSize.width;
    double pageHeight = landscape ? pageSize.width : pageSize.height;
    // Written beside the destination, then renamed, so a reader never sees half a file.
    auto temporary = path;
    temporary += ".partial";
    {
        gfx::SurfacePtr pdf(cairo_pdf_surface_create(temporary.c_str(), pageWidth, pageHeight));
        gfx::CairoPtr cairo(cairo_create(pdf.get()));
        double width = cairo_image_surface_get_width(picture.get());
        double height = cairo_image_surface_get_height(picture.get());
        double scale = std::min((pageWidth - 2 * margin) / width, (pageHeight - 2 * margin) / height);
        double left = (pageWidth - width * scale) / 2;
        double top = (pageHeight - height * scale) / 2;
        cairo_save(cairo.get());
        cairo_translate(cairo.get(), left, top);
        cairo_scale(cairo.get(), scale, scale);
        cairo_set_source_surface(cairo.get(), picture.get(), 0, 0);
        cairo_paint(cairo.get());
        cairo_restore(cairo.get());
        if (m_printInfo && m_printInfo->outputType() == PrintOutputType::Grayscale) {
            // Keeps the lightness and drops the colour.
            cairo_set_source_rgb(cairo.get(), 0.5, 0.5, 0.5);
            cairo_set_operator(cairo.get(), CAIRO_OPERATOR_HSL_SATURATION);
            cairo_rectangle(cairo.get(), left, top, width * scale, height * scale);
            cairo_fill(cairo.get());
        }
        cairo_show_page(cairo.get());
        cairo.reset();
        cairo_surface_finish(pdf.get());
        if (cairo_surface_status(pdf.get()) != CAIRO_STATUS_SUCCESS) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            if (error)
                *error = printError("The printout cannot be written.");
            return false;
        }
    }
    std::error_code failure;
    std::filesystem::rename(temporary, path, failure);
    if (failure) {
        std::filesystem::remove(temporary, failure);
        if (error)
            *error = printError("The printout cannot be written.");
        return false;
    }
    return true;
}

}
