#include "platform/device/Pasteboard.h"

#include "platform/foundation/Number.h"
#include "platform/ui/Effects.h"

namespace device {

Pasteboard& Pasteboard::generalPasteboard()
{
    static Pasteboard pasteboard;
    return pasteboard;
}

std::optional<std::string> Pasteboard::string() const
{
    std::lock_guard guard(m_lock);
    return m_string;
}

void Pasteboard::setString(std::string text)
{
    {
        std::lock_guard guard(m_lock);
        m_string = text;
        m_image.reset();
        ++m_changeCount;
    }
    ui::Effects::report("copied \"" + text + "\"");
}

fnd::Ref<gfx::Image> Pasteboard::image() const
{
    std::lock_guard guard(m_lock);
    return m_image;
}

void Pasteboard::setImage(fnd::Ref<gfx::Image> image)
{
    auto size = image ? image->size() : gfx::Size();
    {
        std::lock_guard guard(m_lock);
        m_image = std::move(image);
        m_string.reset();
        ++m_changeCount;
    }
    ui::Effects::report("copied an image of " + fnd::formatDouble(size.width) + " x " + fnd::formatDouble(size.height) + " points");
}

long Pasteboard::changeCount() const
{
    std::lock_guard guard(m_lock);
    return m_changeCount;
}

void Pasteboard::clear()
{
    std::lock_guard guard(m_lock);
    m_string.reset();
    m_image.reset();
    ++m_changeCount;
}

}
