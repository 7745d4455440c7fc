#pragma once

#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace ui {
class Switch;
}

// A row with a label and an on/off switch at its right edge.
class SwitchCell : public ui::TableViewCell {
public:
    static constexpr double switchRightMargin = 10;

    static std::shared_ptr<SwitchCell> createWithLabel(std::string label, std::string reuseIdentifier = {});
    SwitchCell(std::string label, std::string reuseIdentifier);

    std::string_view className() const override { return "SwitchCell"; }

    const std::shared_ptr<ui::Switch>& switchControl() const { return m_switchControl; }

    void setEnabled(bool);

    void layoutSubviews() override;

private:
    std::shared_ptr<ui::Switch> m_switchControl;
};
