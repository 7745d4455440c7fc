#pragma once

#include "board/MultipartLabel.h"
#include "board/TDBadgeView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <optional>
#include <string>

// A table cell with a rounded badge at its right edge and a multipart label inside its text label.
// Labels that would run under the badge are narrowed; the badge hides while the cell is editing.
class TDBadgedCell : public ui::TableViewCell {
public:
    static constexpr double badgeHeight = 18;
    // Between the badge and a label narrowed for it.
    static constexpr double badgeGap = 10;

    static std::shared_ptr<TDBadgedCell> create(ui::TableViewCellStyle = ui::TableViewCellStyle::Default, std::string reuseIdentifier = {});
    TDBadgedCell(ui::TableViewCellStyle, std::string reuseIdentifier);

    std::string_view className() const override { return "TDBadgedCell"; }

    const std::optional<std::string>& badgeString() const { return m_badgeString; }
    void setBadgeString(std::optional<std::string>);
    const std::shared_ptr<TDBadgeView>& badge() const { return m_badge; }
    std::optional<gfx::Color> badgeColor() const { return m_badgeColor; }
    void setBadgeColor(std::optional<gfx::Color>);
    std::optional<gfx::Color> badgeColorHighlighted() const { return m_badgeColorHighlighted; }
    void setBadgeColorHighlighted(std::optional<gfx::Color>);
    bool showShadow() const { return m_showShadow; }
    void setShowShadow(bool show)
    {
        m_showShadow = show;
        setNeedsLayout();
    }
    const std::shared_ptr<MultipartLabel>& multipartLabel() const { return m_multipartLabel; }

    void layoutSubviews() override;
    void setHighlighted(bool highlighted, bool animated = false) override;
    void setSelected(bool selected, bool animated = false) override;
    void setEditing(bool editing, bool animated = false) override;

private:
    // Makes the badge and the multipart label; the badge's parent is set once the cell is shared.
    void configureSelf();
    void narrowForBadge(ui::View&, double badgeX, double badgeTextWidth);
    void shadowLabels();

    std::optional<std::string> m_badgeString;
    std::shared_ptr<TDBadgeView> m_badge;
    std::optional<gfx::Color> m_badgeColor;
    std::optional<gfx::Color> m_badgeColorHighlighted;
    bool m_showShadow = false;
    std::shared_ptr<MultipartLabel> m_multipartLabel;
};
