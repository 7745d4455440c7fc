#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// What the phone shows outside the screen: a URL handed to the operating system, a mail or message
// sent, an alert shown. Each effect is one line that starts with a word naming it
// ("opened tel:0612345678"); the terminal prints every line, tests capture them.
class Effects {
public:
    using Observer = std::function<void(const std::string& line)>;

    static void report(std::string line);

    // Answers a token for removeObserver.
    static size_t addObserver(Observer);
    static void removeObserver(size_t token);
};

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
