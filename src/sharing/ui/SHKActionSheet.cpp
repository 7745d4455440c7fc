#include "sharing/ui/SHKActionSheet.h"

#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKSharerMetaclass.h"
#include "sharing/ui/SHKCustomActionSheet.h"
#include "sharing/ui/SHKCustomShareMenu.h"
#include "sharing/ui/SHKShareWithSharer.h"

namespace {

bool showsMoreButton()
{
    return SHKConfiguration::sharedInstance()->configurator().showActionSheetMoreButton();
}

}

SHKActionSheet::SHKActionSheet() = default;

SHKActionSheet::~SHKActionSheet() = default;

std::shared_ptr<SHKActionSheet> SHKActionSheet::actionSheetForType(SHKShareType type)
{
    auto sheet = std::make_shared<SHKCustomActionSheet>();
    sheet->setUpForType(type);
    return sheet;
}

std::shared_ptr<SHKActionSheet> SHKActionSheet::actionSheetForItem(fnd::Ref<SHKItem> item)
{
    auto sheet = actionSheetForType(item ? item->shareType() : SHKShareTypeUndefined);
    sheet->setItem(std::move(item));
    return sheet;
}

void SHKActionSheet::setUpForType(SHKShareType type)
{
    setTitle(SHKLocalizedText("Share"));
    setDelegate(sharedAs<SHKActionSheet>());
    m_item = SHKItem::create();
    m_item->setShareType(type);
    m_sharers.clear();

    // An id without a class, or whose service cannot work on this device, gets no button, so the
    // buttons stay aligned with the ids.
    for (auto& sharerId : SHK::favoriteSharersForType(type)) {
        auto sharerClass = SHKSharerMetaclass::named(sharerId);
        if (!sharerClass || !sharerClass->canShare())
            continue;
        addButtonWithTitle(sharerClass->sharerTitle());
        m_sharers.push_back(sharerId);
    }
    if (showsMoreButton())
        addButtonWithTitle(SHKLocalizedText("More..."));
    setCancelButtonIndex(addButtonWithTitle(SHKLocalizedText("Cancel")));
}

void SHKActionSheet::dismissWithClickedButtonIndex(int buttonIndex, bool animated)
{
    auto protect = sharedAs<SHKActionSheet>();
    int sharerCount = static_cast<int>(m_sharers.size());
    if (buttonIndex >= 0 && buttonIndex < sharerCount) {
        SHKShareWithSharer(m_sharers[buttonIndex], m_item, m_shareDelegate);
    } else if (buttonIndex == sharerCount && showsMoreButton()) {
        auto menu = SHKCustomShareMenu::create(ui::TableViewStyle::Grouped);
        menu->setShareDelegate(m_shareDelegate);
        menu->setItem(m_item);
        SHK::currentHelper().showViewController(menu);
    }
    ActionSheet::dismissWithClickedButtonIndex(buttonIndex, animated);
}
