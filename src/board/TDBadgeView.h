#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

#include <memory>
#include <optional>
#include <string>

namespace ui {
class TableViewCell;
}

// A rounded coloured lozenge with its text cut out of it, so the letters show what lies beneath.
// It follows its cell: while the cell is highlighted or selected (and shows selection at all) the
// lozenge takes the highlighted colour and, when asked, a shadow.
class TDBadgeView : public ui::View {
public:
    static constexpr double fontSize = 11;
    static constexpr double textHeight = 18;
    static constexpr gfx::Color defaultColor { 0.53, 0.6, 0.738, 1 };
    static constexpr gfx::Color defaultHighlightedColor { 1, 1, 1, 1 };

    static std::shared_ptr<TDBadgeView> create(const gfx::Rect& frame = {});
    explicit TDBadgeView(const gfx::Rect& frame = {});

    std::string_view className() const override { return "TDBadgeView"; }

    const std::optional<std::string>& badgeString() const { return m_badgeString; }
    void setBadgeString(std::optional<std::string>);
    // The cell whose highlight and selection the badge follows; not retained.
    std::shared_ptr<ui::TableViewCell> parent() const { return m_parent.lock(); }
    void setParent(const std::shared_ptr<ui::TableViewCell>& parent) { m_parent = parent; }
    // None means the default colour.
    std::optional<gfx::Color> badgeColor() const { return m_badgeColor; }
    void setBadgeColor(std::optional<gfx::Color>);
    std::optional<gfx::Color> badgeColorHighlighted() const { return m_badgeColorHighlighted; }
    void setBadgeColorHighlighted(std::optional<gfx::Color>);
    bool showShadow() const { return m_showShadow; }
    void setShowShadow(bool);
    // Corner radius in points; 0 means 4.
    double radius() const { return m_radius; }
    void setRadius(double);
    double effectiveRadius() const { return m_radius == 0 ? 4 : m_radius; }

    // Whether the badge draws in its highlighted state now.
    bool isHighlightedByParent() const;
    gfx::Color currentColor() const;
    // The lozenge as drawRect draws it into the given rectangle: at twice its size on a screen of
    // scale 2, so that it stays sharp.
    fnd::Ref<gfx::Image> lozengeImage(const gfx::Rect&) const;

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    std::optional<std::string> m_badgeString;
    std::weak_ptr<ui::TableViewCell> m_parent;
    std::optional<gfx::Color> m_badgeColor;
    std::optional<gfx::Color> m_badgeColorHighlighted;
    bool m_showShadow = false;
    double m_radius = 0;
};
