#pragma once

#include <cstddef>
#include <string_view>

namespace ui {

class TextView;

// What a text view asks and tells its delegate; every operation is optional and the defaults allow
// everything. Ranges are in UTF-16 units.
class TextViewDelegate {
public:
    virtual ~TextViewDelegate();

    virtual bool shouldBeginEditing(TextView&) { return true; }
    virtual void didBeginEditing(TextView&) { }
    virtual bool shouldEndEditing(TextView&) { return true; }
    virtual void didEndEditing(TextView&) { }
    virtual bool shouldChangeTextInRange(TextView&, size_t /* location */, size_t /* length */, std::string_view /* replacement */) { return true; }
    virtual void didChange(TextView&) { }
};

}
