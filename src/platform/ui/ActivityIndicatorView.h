#pragma once

#include "platform/ui/View.h"

namespace ui {

// Numbered as the platform numbered them.
enum class ActivityIndicatorViewStyle {
    WhiteLarge = 0,
    White = 1,
    Gray = 2,
};

// The spinner: twelve spokes, 37 points across in the large style and 20 in the others. It is
// hidden while stopped unless told otherwise.
class ActivityIndicatorView : public View {
public:
    static std::shared_ptr<ActivityIndicatorView> create(ActivityIndicatorViewStyle = ActivityIndicatorViewStyle::White);
    explicit ActivityIndicatorView(ActivityIndicatorViewStyle = ActivityIndicatorViewStyle::White);

    std::string_view className() const override { return "ActivityIndicatorView"; }

    ActivityIndicatorViewStyle style() const { return m_style; }
    void setStyle(ActivityIndicatorViewStyle);
    bool isAnimating() const { return m_animating; }
    void startAnimating();
    void stopAnimating();
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool);

    gfx::Size sizeThatFits(gfx::Size) const override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    double side() const;

    ActivityIndicatorViewStyle m_style;
    bool m_animating = false;
    bool m_hidesWhenStopped = true;
};

}
