#include "platform/ui/PressTarget.h"

#include "platform/foundation/Unicode.h"

namespace ui {

bool PressTarget::matches(std::string_view text, bool ignoringCase) const
{
    for (auto& candidate : texts) {
        if (candidate == text)
            return true;
        if (ignoringCase && fnd::unicode::lowercased(candidate) == fnd::unicode::lowercased(text))
            return true;
    }
    return false;
}

std::string_view pressTargetKindName(PressTarget::Kind kind)
{
    switch (kind) {
    case PressTarget::Kind::PanelButton:
        return "button";
    case PressTarget::Kind::BarItem:
        return "bar item";
    case PressTarget::Kind::Button:
        return "button";
    case PressTarget::Kind::TableRow:
        return "row";
    }
    return "target";
}

}
