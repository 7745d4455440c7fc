#include "board/KTextFieldCellDelegate.h"

KTextFieldCellDelegate::~KTextFieldCellDelegate() = default;
