#pragma once

#include "platform/graphics/Image.h"

#include <mutex>
#include <optional>
#include <string>

namespace device {

// The device's general pasteboard: one item at a time, a text or a picture, safe to use from any
// thread. Each change counts up the change count and is reported as an effect line.
class Pasteboard {
public:
    static Pasteboard& generalPasteboard();

    std::optional<std::string> string() const;
    void setString(std::string);
    fnd::Ref<gfx::Image> image() const;
    void setImage(fnd::Ref<gfx::Image>);
    long changeCount() const;
    void clear();

private:
    Pasteboard() = default;

    mutable std::mutex m_lock;
    std::optional<std::string> m_string;
    fnd::Ref<gfx::Image> m_image;
    long m_changeCount = 0;
};

}
