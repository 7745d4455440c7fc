#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// What the phone shows outside the screen: a URL handed to the operating system, a mail or message
// sent, an alert shown. Each effect is one line that starts with a word naming it
// ("opened URL tel:0612345678"); the terminal prints every line, tests capture them (EffectCapture).
class Effects {
public:
    using Observer = std::function<void(const std::string& line)>;

    static void report(std::string line);

    // Answers a token for removeObserver.
    static size_t addObserver(Observer);
    static void removeObserver(size_t token);
};

}
