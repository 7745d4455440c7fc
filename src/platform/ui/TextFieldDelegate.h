#pragma once

#include <cstddef>
#include <string_view>

namespace ui {

class TextField;

// What a text field asks and tells its delegate; every operation is optional and the defaults
// allow everything. Ranges are in UTF-16 units, as the platform counted them.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate();

    virtual bool shouldBeginEditing(TextField&) { return true; }
    virtual void didBeginEditing(TextField&) { }
    virtual bool shouldEndEditing(TextField&) { return true; }
    virtual void didEndEditing(TextField&) { }
    virtual bool shouldChangeCharactersInRange(TextField&, size_t /* location */, size_t /* length */, std::string_view /* replacement */) { return true; }
    virtual bool shouldClear(TextField&) { return true; }
    // The return key; the field inserts no line break whatever the answer.
    virtual bool shouldReturn(TextField&) { return true; }
};

}
