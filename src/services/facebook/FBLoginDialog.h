#pragma once

#include "services/facebook/FBDialog.h"
#include "services/facebook/FBLoginDialogDelegate.h"

// The login page in a dialog: reads the access token and its lifetime out of the page's final
// redirect and hands them to the login delegate.
class FBLoginDialog : public FBDialog {
public:
    static std::shared_ptr<FBLoginDialog> create(std::string loginURL, fnd::Ref<fnd::MutableDictionary> loginParams, std::weak_ptr<FBLoginDialogDelegate>);

    std::string_view className() const override { return "FBLoginDialog"; }

    void dialogDidSucceed(const fnd::Ref<fnd::URL>&) override;
    void dialogDidCancel(const fnd::Ref<fnd::URL>&) override;
    void didFailLoadWithError(ui::WebView&, const fnd::Ref<fnd::Error>&) override;

private:
    std::weak_ptr<FBLoginDialogDelegate> m_loginDelegate;
};
