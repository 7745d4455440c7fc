#pragma once

class SHKFormControllerLargeTextField;

// The service behind a compose screen. The Send button names the service: when the delegate is a
// sharer, its class's sharerTitle. A sharer adopting this has two operations of the name
// sendDidCancel; it answers this one with the sharer's own report:
//     void sendDidCancel() override { SHKSharer::sendDidCancel(); }
class SHKFormControllerLargeTextFieldDelegate {
public:
    virtual ~SHKFormControllerLargeTextFieldDelegate() = default;

    // Send: the screen's text view holds the text to post.
    virtual void sendForm(SHKFormControllerLargeTextField&) = 0;
    virtual void sendDidCancel() = 0;
};
