#pragma once

#include "platform/foundation/Object.h"
#include "platform/graphics/Image.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {

// What bar button items and tab-bar items share: a title, an image, a tag, an enabled flag. The bar
// that shows an item hears about its changes.
class BarItem : public fnd::Object, public std::enable_shared_from_this<BarItem> {
public:
    std::string_view className() const override { return "BarItem"; }

    const std::string& title() const { return m_title; }
    void setTitle(std::string);
    const fnd::Ref<gfx::Image>& image() const { return m_image; }
    void setImage(fnd::Ref<gfx::Image>);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool);

    // For the bar that shows the item.
    void setChangeHandler(std::function<void()> handler) { m_changeHandler = std::move(handler); }

protected:
    BarItem() = default;
    void changed();

private:
    std::string m_title;
    fnd::Ref<gfx::Image> m_image;
    int m_tag = 0;
    bool m_enabled = true;
    std::function<void()> m_changeHandler;
};

}
