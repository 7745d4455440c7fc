#pragma once

#include "platform/foundation/URL.h"
#include "services/facebook/FBDialogDelegate.h"
#include "services/facebook/FBRequestDelegate.h"
#include "services/facebook/FBSessionDelegate.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/ui/SHKFormControllerLargeTextFieldDelegate.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class Facebook;

// Shares with Facebook: a link through the service's "feed" dialog, a text as a wall post, a
// picture as a photo upload, and fetches the user's profile. The one session of the process keeps
// its token in the user defaults between launches. A login leaves the application, so the item
// (and a copy of its picture) is parked in the user defaults and the caches folder until the
// login comes back as an incoming address.
class SHKFacebook : public SHKSharer,
                    public FBSessionDelegate,
                    public FBDialogDelegate,
                    public FBRequestDelegate,
                    public SHKFormControllerLargeTextFieldDelegate {
public:
    static constexpr std::string_view sharerClassName = "SHKFacebook";
    static constexpr std::string_view accessTokenKey = "kSHKFacebookAccessToken";
    static constexpr std::string_view expiryDateKey = "kSHKFacebookExpiryDate";
    static constexpr std::string_view userInfoKey = "kSHKFacebookUserInfo";
    static constexpr std::string_view storedItemKey = "kSHKStoredItem";
    static constexpr std::string_view storedImagePathKey = "imagePath";
    static constexpr std::string_view storedImagesFolder = "SHKImage";

    static std::string sharerTitle() { return "Facebook"; }
    static bool canShareURL() { return true; }
    static bool canShareText() { return true; }
    static bool canShareImage() { return true; }
    static bool canGetUserInfo() { return true; }
    // Never queued: a Facebook share needs its session now.
    static bool canShareOffline() { return false; }
    static void logout(const SHKSharerClass&);

    // The session of the process, made on first use from the configuration.
    static std::shared_ptr<Facebook> facebook();
    // Completes a login that returns to the application; false for any other address.
    static bool handleOpenURL(const fnd::URL&);
    static void flushAccessToken();
    // A PNG copy of the picture in the caches folder's "SHKImage" folder; nothing when it cannot
    // be written.
    static std::optional<std::filesystem::path> storedImagePath(const gfx::Image&);
    // Reads a parked picture and deletes its file, whether or not it could be read.
    static fnd::Ref<gfx::Image> storedImage(const std::filesystem::path&);
    // Forgets the session of the process, so that each test starts without a token.
    static void resetForTesting();

    SHKFacebook();
    ~SHKFacebook() override;

    bool shouldAutoShare() override { return false; }
    bool isAuthorized() override;
    void promptAuthorization() override;
    void show() override;
    bool send() override;

    void sendForm(SHKFormControllerLargeTextField&) override;
    void sendDidCancel() override { SHKSharer::sendDidCancel(); }

    void fbDidLogin() override;
    void fbDidNotLogin(bool cancelled) override;

    void dialogCompleteWithUrl(const fnd::Ref<fnd::URL>&) override;
    void dialogDidComplete(FBDialog&) override;
    void dialogDidNotComplete(FBDialog&) override;
    void dialogDidFailWithError(FBDialog&, const fnd::Ref<fnd::Error>&) override;
    bool dialogShouldOpenURLInExternalBrowser(FBDialog&, const fnd::Ref<fnd::URL>&) override { return true; }

    void requestLoading(FBRequest&) override;
    void requestDidLoad(FBRequest&, const fnd::Id& result) override;
    void requestDidFailWithError(FBRequest&, const fnd::Ref<fnd::Error>&) override;

private:
    template<typename Interface>
    std::weak_ptr<Interface> weakAs()
    {
        return std::shared_ptr<Interface>(sharedAs<SHKFacebook>());
    }
    std::string actionsText() const;
    void parkItem();
    void restoreParkedItem();
    void shareAgainAfterLogin(const fnd::Ref<fnd::Error>&);

    // Set when the feed dialog's redirect already settled the share's outcome.
    bool m_dialogOutcomeReported = false;
};
