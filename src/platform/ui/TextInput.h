#pragma once

#include <string_view>

namespace ui {

// What the keyboard types into: text fields and text views implement it, and the terminal's
// `type "TEXT"` sends the text to the first responder through it. A line feed is the return key.
class TextInput {
public:
    virtual ~TextInput() = default;

    virtual void insertText(std::string_view) = 0;
    virtual void deleteBackward() = 0;
    virtual bool hasText() const = 0;
};

}
