#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Collects the effects reported while it lives.
class EffectCapture {
public:
    EffectCapture();
    ~EffectCapture();
    EffectCapture(const EffectCapture&) = delete;
    EffectCapture& operator=(const EffectCapture&) = delete;

    std::vector<std::string> lines() const;
    bool contains(std::string_view fragment) const;
    void clear();

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_lines;
    size_t m_token;
};

}
