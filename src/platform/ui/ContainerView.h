#pragma once

#include "platform/ui/View.h"

#include <functional>

namespace ui {

// The view of a container controller: it asks its controller to lay its parts out.
class ContainerView : public View {
public:
    explicit ContainerView(const gfx::Rect& frame, std::function<void()> layout)
        : View(frame)
        , m_layout(std::move(layout))
    {
    }

    std::string_view className() const override { return "ContainerView"; }

    void layoutSubviews() override
    {
        if (m_layout)
            m_layout();
    }

private:
    std::function<void()> m_layout;
};

}
