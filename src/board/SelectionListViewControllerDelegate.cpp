#include "board/SelectionListViewControllerDelegate.h"

SelectionListViewControllerDelegate::~SelectionListViewControllerDelegate() = default;
