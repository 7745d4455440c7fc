#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {
class Label;
}

// A row of separately styled labels laid side by side, each at its own measured size. The content
// mode aligns the row: centred (Center), at the right (Right, TopRight, BottomRight), at the bottom
// (Bottom, BottomLeft, BottomRight), else at the top left.
class MultipartLabel : public ui::View {
public:
    static constexpr double measuringLimit = 9999;

    static std::shared_ptr<MultipartLabel> create(const gfx::Rect& frame = {});
    explicit MultipartLabel(const gfx::Rect& frame = {});

    std::string_view className() const override { return "MultipartLabel"; }

    // Replaces the parts with `count` new empty labels.
    void updateNumberOfLabels(size_t count);
    // Each changes the part at the index, when there is one, and lays the parts out again.
    void setTextForLabel(std::string text, int index);
    void setTextAndFontForLabel(std::string text, const gfx::Font&, int index);
    void setTextAndColorForLabel(std::string text, const gfx::Color&, int index);
    void setTextAndFontAndColorForLabel(std::string text, const gfx::Font&, const gfx::Color&, int index);
    void updateLayout();

    const std::shared_ptr<ui::View>& containerView() const { return m_containerView; }
    const std::vector<std::shared_ptr<ui::Label>>& labels() const { return m_labels; }

private:
    ui::Label* partAt(int index) const;
    static gfx::Size measure(const ui::Label&);

    std::shared_ptr<ui::View> m_containerView;
    std::vector<std::shared_ptr<ui::Label>> m_labels;
};
