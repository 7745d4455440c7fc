#include "platform/ui/BarItem.h"

namespace ui {

void BarItem::setTitle(std::string title)
{
    m_title = std::move(title);
    changed();
}

void BarItem::setImage(fnd::Ref<gfx::Image> image)
{
    m_image = std::move(image);
    changed();
}

void BarItem::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    changed();
}

void BarItem::changed()
{
    if (m_changeHandler) {
        auto handler = m_changeHandler;
        handler();
    }
}

}
