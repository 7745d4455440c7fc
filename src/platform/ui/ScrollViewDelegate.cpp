#include "platform/ui/ScrollViewDelegate.h"

namespace ui {

ScrollViewDelegate::~ScrollViewDelegate() = default;

}
