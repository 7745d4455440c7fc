#include "platform/ui/ImagePickerScreen.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"

namespace ui {

ImagePickerScreen::ImagePickerScreen(const std::shared_ptr<ImagePickerController>& picker)
    : m_picker(picker)
{
    std::weak_ptr<ImagePickerController> weakPicker = picker;
    navigationItem()->setRightBarButtonItem(BarButtonItem::createWithBarButtonSystemItem(BarButtonSystemItem::Cancel,
        Action("cancel", [weakPicker](const fnd::Id&) {
            if (auto picker = weakPicker.lock())
                picker->cancel();
        })));
}

void ImagePickerScreen::viewWillAppear(bool animated)
{
    m_names = ImagePickerController::photoNames();
    tableView()->reloadData();
    TableViewController::viewWillAppear(animated);
}

int ImagePickerScreen::numberOfRowsInSection(TableView&, int)
{
    return static_cast<int>(m_names.size());
}

std::shared_ptr<TableViewCell> ImagePickerScreen::cellForRowAtIndexPath(TableView& table, const IndexPath& indexPath)
{
    auto cell = table.dequeueReusableCellWithIdentifier("Photo");
    if (!cell)
        cell = TableViewCell::create(TableViewCellStyle::Default, "Photo");
    cell->textLabel()->setText(m_names[indexPath.row]);
    return cell;
}

void ImagePickerScreen::didSelectRowAtIndexPath(TableView& table, const IndexPath& indexPath)
{
    table.deselectRowAtIndexPath(indexPath, true);
    auto picker = m_picker.lock();
    if (picker && indexPath.row < static_cast<int>(m_names.size()))
        picker->pickImageAtPath(ImagePickerController::photoLibraryDirectory() / m_names[indexPath.row]);
}

}
