#include "sharing/sharers/SHKPrint.h"

#include "platform/device/PrintInteractionController.h"
#include "platform/ui/Device.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKLocalizedText.h"

std::string SHKPrint::sharerTitle()
{
    return SHKLocalizedText("Print");
}

bool SHKPrint::canShare()
{
    return device::PrintInteractionController::isPrintingAvailable();
}

bool SHKPrint::send()
{
    setQuiet(true);
    if (!validateItem())
        return false;
    return print();
}

bool SHKPrint::print()
{
    auto controller = device::PrintInteractionController::sharedPrintController();
    if (!controller)
        return false;
    auto info = device::PrintInfo::create();
    info->setOutputType(device::PrintOutputType::Photo);
    controller->setPrintInfo(std::move(info));
    controller->setShowsPageRange(false);
    controller->setPrintingItem(item()->image());

    auto completion = [self = sharedAs<SHKPrint>()](device::PrintInteractionController&, bool completed, const fnd::Ref<fnd::Error>& error) {
        self->printDidComplete(completed, error);
    };

    if (ui::Device::current().userInterfaceIdiom() == ui::UserInterfaceIdiom::Pad) {
        auto top = SHK::currentHelper().rootViewForCustomUIDisplay();
        if (!top)
            return false;
        auto view = top->view();
        auto bounds = view->bounds();
        gfx::Rect anchor { bounds.midX(), bounds.midY(), bounds.width(), bounds.height() };
        return controller->presentFromRectInView(anchor, *view, true, std::move(completion));
    }
    return controller->present(true, std::move(completion));
}

void SHKPrint::printDidComplete(bool completed, const fnd::Ref<fnd::Error>& error)
{
    auto protect = protectedThis();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    if (completed)
        sendDidFinish();
    else
        sendDidFailWithError(error);
}
