#pragma once

#include "platform/ui/TableViewController.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

class ImagePickerController;

// The picker's list of photos, read from the photo folder each time it appears.
class ImagePickerScreen : public TableViewController {
public:
    explicit ImagePickerScreen(const std::shared_ptr<ImagePickerController>&);

    std::string_view className() const override { return "ImagePickerScreen"; }

    void viewWillAppear(bool animated) override;
    int numberOfRowsInSection(TableView&, int) override;
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath&) override;
    void didSelectRowAtIndexPath(TableView&, const IndexPath&) override;

private:
    std::weak_ptr<ImagePickerController> m_picker;
    std::vector<std::string> m_names;
};

}
