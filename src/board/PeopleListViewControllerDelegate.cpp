#include "board/PeopleListViewControllerDelegate.h"

PeopleListViewControllerDelegate::~PeopleListViewControllerDelegate() = default;
