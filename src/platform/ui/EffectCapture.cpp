#include "platform/ui/EffectCapture.h"

#include "platform/ui/Effects.h"

#include <algorithm>

namespace ui {

EffectCapture::EffectCapture()
    : m_token(Effects::addObserver([this](const std::string& line) {
        std::lock_guard guard(m_lock);
        m_lines.push_back(line);
    }))
{
}

EffectCapture::~EffectCapture()
{
    Effects::removeObserver(m_token);
}

std::vector<std::string> EffectCapture::lines() const
{
    std::lock_guard guard(m_lock);
    return m_lines;
}

bool EffectCapture::contains(std::string_view fragment) const
{
    std::lock_guard guard(m_lock);
    return std::any_of(m_lines.begin(), m_lines.end(), [&](auto& line) { return line.find(fragment) != std::string::npos; });
}

void EffectCapture::clear()
{
    std::lock_guard guard(m_lock);
    m_lines.clear();
}

}
