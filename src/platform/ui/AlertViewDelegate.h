#pragma once

namespace ui {

class AlertView;

// What an alert tells its delegate; every operation is optional. A tap on a button is heard first
// (clicked), then the alert goes away (will dismiss at once, did dismiss once it has gone, on the
// next turn of the main run loop).
class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate();

    virtual void clickedButtonAtIndex(AlertView&, int /* buttonIndex */) { }
    // The system took the alert away without a choice.
    virtual void alertViewCancel(AlertView&) { }
    virtual void willPresentAlertView(AlertView&) { }
    virtual void didPresentAlertView(AlertView&) { }
    virtual void willDismissWithButtonIndex(AlertView&, int /* buttonIndex */) { }
    virtual void didDismissWithButtonIndex(AlertView&, int /* buttonIndex */) { }
};

}
