#pragma once

#include "platform/graphics/Color.h"
#include "platform/ui/View.h"

#include <memory>
#include <optional>
#include <string>

class TouchImageView;

// The rounded lozenge in a picture's lower right corner with a white bold text in it.
class TouchImageBadgeView : public ui::View {
public:
    static std::shared_ptr<TouchImageBadgeView> create(const gfx::Rect& frame = {});
    explicit TouchImageBadgeView(const gfx::Rect& frame = {});

    std::string_view className() const override { return "TouchImageBadgeView"; }

    static constexpr double fontSize = 11;
    static constexpr gfx::Color defaultColor { 0.53, 0.6, 0.738, 1 };

    const std::string& badgeString() const { return m_badgeString; }
    void setBadgeString(std::string);
    std::optional<gfx::Color> badgeColor() const { return m_badgeColor; }
    void setBadgeColor(std::optional<gfx::Color>);
    std::shared_ptr<TouchImageView> parent() const { return m_parent.lock(); }
    void setParent(std::weak_ptr<TouchImageView> parent) { m_parent = std::move(parent); }
    // 0 means 4.
    double radius() const { return m_radius; }
    void setRadius(double);
    double effectiveRadius() const { return m_radius == 0 ? 4 : m_radius; }

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    std::string m_badgeString;
    std::optional<gfx::Color> m_badgeColor;
    std::weak_ptr<TouchImageView> m_parent;
    double m_radius = 0;
};
