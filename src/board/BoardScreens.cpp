#include "board/BoardScreens.h"

#include "board/StandInViewController.h"

std::shared_ptr<ui::ViewController> BoardScreens::makePeopleListViewController(const PeopleListRequest& request)
{
    return std::make_shared<StandInViewController>("PeopleListViewController", "Phone numbers", request);
}

std::shared_ptr<ui::ViewController> BoardScreens::makeEditTouchImageViewController(const std::shared_ptr<TouchImageView>& touchImage)
{
    return std::make_shared<StandInViewController>("EditTouchImageViewController", "Settings", PeopleListRequest { touchImage, {}, -1, nullptr });
}
