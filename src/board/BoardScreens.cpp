#include "board/BoardScreens.h"

#include "board/PeopleListViewController.h"
#include "board/EditTouchImageViewController.h"
#include "board/StandInViewController.h"

std::shared_ptr<ui::ViewController> BoardScreens::makePeopleListViewController(const PeopleListRequest& request)
{
    auto picker = PeopleListViewController::create(ui::TableViewStyle::Grouped);
    picker->setSelectedIndex(request.selectedIndex);
    picker->setDelegate(request.delegate);
    picker->setReference(request.reference);
    picker->setTouchImage(request.touchImage);
    return picker;
}

std::shared_ptr<ui::ViewController> BoardScreens::makeEditTouchImageViewController(const std::shared_ptr<TouchImageView>& touchImage)
{
    return EditTouchImageViewController::create(touchImage);
}
