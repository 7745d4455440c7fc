#include "board/DesignPart.h"

#include "board/BrenzoAppDelegate.h"
#include "board/BrenzoViewController.h"
#include "platform/foundation/Log.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"

#include <algorithm>

void DesignPart::addHeaderLabel(ui::ViewController& controller)
{
    auto navigation = controller.navigationController();
    if (!navigation)
        return;
    auto bar = navigation->navigationBar();
    bar->setTintColor(barTintColor);

    auto barSize = bar->bounds().size;
    auto logo = ui::ImageView::create({ (barSize.width - logoWidth) / 2, std::max(0.0, (barSize.height - logoHeight) / 2), logoWidth, barSize.height });
    logo->setImage(ui::BundleImages::imageNamed(logoImageName));
    logo->setOpaque(true);
    logo->setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleRightMargin | ui::Autoresizing::FlexibleHeight);
    bar->addSubview(logo);
    fnd::Log::format("height: %f", barSize.height);
}

void DesignPart::makeHeaderForSettingsViewNavigator(ui::ViewController& controller)
{
    addHeaderLabel(controller);
    // Without the application's board (a screen shown on its own) Done still closes the screen.
    auto done = ui::Action::to(controller.sharedAs<ui::ViewController>(), "dismissSettingsView",
        [](ui::ViewController& screen) { screen.dismissViewController(true); });
    auto appDelegate = BrenzoAppDelegate::delegate();
    if (auto board = appDelegate ? appDelegate->viewController() : nullptr)
        done = ui::Action::to(board, "dismissSettingsView", &BrenzoViewController::dismissSettingsView);
    controller.navigationItem()->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Done, std::move(done)));
}
