#pragma once

#include <optional>
#include <string>

namespace ui {

class PickerView;

// What a picker asks for its wheels: the counts (required) and the titles of the rows.
class PickerViewDataSource {
public:
    virtual ~PickerViewDataSource();

    virtual int numberOfComponentsInPickerView(PickerView&) = 0;
    virtual int numberOfRowsInComponent(PickerView&, int component) = 0;
    virtual std::optional<std::string> titleForRow(PickerView&, int /* row */, int /* component */) { return std::nullopt; }
    virtual void didSelectRow(PickerView&, int /* row */, int /* component */) { }
};

}
