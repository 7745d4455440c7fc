#include "board/SwitchCell.h"

#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"

std::shared_ptr<SwitchCell> SwitchCell::createWithLabel(std::string label, std::string reuseIdentifier)
{
    return std::make_shared<SwitchCell>(std::move(label), std::move(reuseIdentifier));
}

SwitchCell::SwitchCell(std::string label, std::string reuseIdentifier)
    : ui::TableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier))
    , m_switchControl(ui::Switch::create())
{
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    textLabel()->setText(std::move(label));
    addSubview(m_switchControl);
}

void SwitchCell::layoutSubviews()
{
    ui::TableViewCell::layoutSubviews();
    auto content = contentView()->frame();
    auto size = m_switchControl->frame().size;
    m_switchControl->setFrame({ content.maxX() - switchRightMargin - size.width, content.midY() - size.height / 2, size.width, size.height });
}

void SwitchCell::setEnabled(bool enabled)
{
    textLabel()->setEnabled(enabled);
    m_switchControl->setEnabled(enabled);
}
