#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

namespace ui {

// Shows a picture, stretched to the bounds or placed as the content mode says. Like a label it
// takes no touches unless told to.
class ImageView : public View {
public:
    static std::shared_ptr<ImageView> create(const gfx::Rect& frame = {});
    // A view the size of the picture, at the origin.
    static std::shared_ptr<ImageView> createWithImage(fnd::Ref<gfx::Image>);
    explicit ImageView(const gfx::Rect& frame = {});

    std::string_view className() const override { return "ImageView"; }

    const fnd::Ref<gfx::Image>& image() const { return m_image; }
    virtual void setImage(fnd::Ref<gfx::Image>);
    const fnd::Ref<gfx::Image>& highlightedImage() const { return m_highlightedImage; }
    void setHighlightedImage(fnd::Ref<gfx::Image>);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool);

    // Where the picture lands in the bounds under the content mode.
    gfx::Rect imageRect() const;
    // Where a picture of `size` lands in `bounds` under a content mode.
    static gfx::Rect placeContent(gfx::Size, const gfx::Rect& bounds, ContentMode);

    gfx::Size sizeThatFits(gfx::Size) const override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    const fnd::Ref<gfx::Image>& shownImage() const;

    fnd::Ref<gfx::Image> m_image;
    fnd::Ref<gfx::Image> m_highlightedImage;
    bool m_highlighted = false;
};

}
