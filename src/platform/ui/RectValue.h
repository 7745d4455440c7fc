#pragma once

#include "platform/foundation/Object.h"
#include "platform/graphics/Rect.h"

namespace ui {

// A rectangle kept as an object, so it can travel in a notification's user information.
class RectValue final : public fnd::Object {
public:
    static fnd::Ref<RectValue> create(const gfx::Rect& rect) { return std::make_shared<RectValue>(rect); }
    explicit RectValue(const gfx::Rect& rect)
        : m_rect(rect)
    {
    }

    std::string_view className() const override { return "RectValue"; }
    const gfx::Rect& rect() const { return m_rect; }
    bool isEqual(const fnd::Object& other) const override
    {
        auto* value = dynamic_cast<const RectValue*>(&other);
        return value && value->m_rect == m_rect;
    }

private:
    gfx::Rect m_rect;
};

}
