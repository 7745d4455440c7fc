#pragma once

#include "platform/ui/ActionSheet.h"
#include "platform/ui/ActionSheetDelegate.h"
#include "sharing/core/SHKItem.h"

#include <memory>
#include <string>
#include <vector>

class SHKShareItemDelegate;

// The first sharing screen: an action sheet titled "Share" with a button for each favourite sharer
// of the item's type that can share on this device, "More..." (when configured) for the share
// menu, and "Cancel". Choosing a sharer starts its share with the sheet's item. The sheet is its
// own delegate; sheets are made by the factories, as SHKCustomActionSheet.
class SHKActionSheet : public ui::ActionSheet, public ui::ActionSheetDelegate {
public:
    // A sheet for an empty item of the type; the favourites are read now.
    static std::shared_ptr<SHKActionSheet> actionSheetForType(SHKShareType);
    // The sheet for the item's type, sharing that item.
    static std::shared_ptr<SHKActionSheet> actionSheetForItem(fnd::Ref<SHKItem>);

    SHKActionSheet();
    ~SHKActionSheet() override;

    std::string_view className() const override { return "SHKActionSheet"; }

    // Acts on the button (a sharer's share, or the share menu for "More..."), then takes the sheet
    // away as every tap does.
    void dismissWithClickedButtonIndex(int buttonIndex, bool animated) override;

    // The sharer ids behind the first buttons: button i stands for sharers()[i].
    const std::vector<std::string>& sharers() const { return m_sharers; }
    void setSharers(std::vector<std::string> sharers) { m_sharers = std::move(sharers); }
    const fnd::Ref<SHKItem>& item() const { return m_item; }
    void setItem(fnd::Ref<SHKItem> item) { m_item = std::move(item); }
    // Retained; none by default.
    const std::shared_ptr<SHKShareItemDelegate>& shareDelegate() const { return m_shareDelegate; }
    void setShareDelegate(std::shared_ptr<SHKShareItemDelegate> delegate) { m_shareDelegate = std::move(delegate); }

protected:
    // Titles the sheet and adds its buttons; the factory calls it once the sheet is owned.
    void setUpForType(SHKShareType);

private:
    std::vector<std::string> m_sharers;
    fnd::Ref<SHKItem> m_item;
    std::shared_ptr<SHKShareItemDelegate> m_shareDelegate;
};
