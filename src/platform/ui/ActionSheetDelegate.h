#pragma once

namespace ui {

class ActionSheet;

// What an action sheet tells its delegate; every operation is optional. A tap on a button is heard
// first (clicked), then the sheet goes away (will dismiss at once, did dismiss once it has gone, on
// the next turn of the main run loop).
class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate();

    virtual void clickedButtonAtIndex(ActionSheet&, int /* buttonIndex */) { }
    virtual void actionSheetCancel(ActionSheet&) { }
    virtual void willPresentActionSheet(ActionSheet&) { }
    virtual void didPresentActionSheet(ActionSheet&) { }
    virtual void willDismissWithButtonIndex(ActionSheet&, int /* buttonIndex */) { }
    virtual void didDismissWithButtonIndex(ActionSheet&, int /* buttonIndex */) { }
};

}
