#include "platform/ui/Effects.h"

#include <algorithm>

namespace ui {

namespace {

struct Registry {
    // Held while observers run, so that an observer is never called after its removal returns.
    std::recursive_mutex lock;
    std::vector<std::pair<size_t, Effects::Observer>> observers;
    size_t nextToken = 1;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

}

void Effects::report(std::string line)
{
    std::lock_guard guard(registry().lock);
    auto observers = registry().observers;
    for (auto& entry : observers)
        entry.second(line);
}

size_t Effects::addObserver(Observer observer)
{
    std::lock_guard guard(registry().lock);
    size_t token = registry().nextToken++;
    registry().observers.emplace_back(token, std::move(observer));
    return token;
}

void Effects::removeObserver(size_t token)
{
    std::lock_guard guard(registry().lock);
    std::erase_if(registry().observers, [&](auto& entry) { return entry.first == token; });
}

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
