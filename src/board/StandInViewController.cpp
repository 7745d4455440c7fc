#include "board/StandInViewController.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"

StandInViewController::StandInViewController(std::string screenName, std::string title, PeopleListRequest request)
    : m_screenName(std::move(screenName))
    , m_request(std::move(request))
{
    setTitle(std::move(title));
}

void StandInViewController::viewDidLoad()
{
    auto contentView = view();
    contentView->setBackgroundColor(gfx::Color::white());
    auto label = ui::Label::create({ 10, 100, contentView->bounds().width() - 20, 40 });
    label->setText(title());
    label->setTextAlignment(gfx::TextAlignment::Center);
    contentView->addSubview(label);
    navigationItem()->setLeftBarButtonItem(
        ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel, ui::Action::to(this, "cancel", &StandInViewController::cancel)));
}

void StandInViewController::cancel()
{
    dismissViewController(true);
}
