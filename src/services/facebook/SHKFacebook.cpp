#include "services/facebook/SHKFacebook.h"

#include "json/JsonCodec.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/String.h"
#include "platform/foundation/URLError.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationBar.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKPlatformExtensions.h"
#include "sharing/ui/SHKCustomFormControllerLargeTextField.h"
#include "services/facebook/Facebook.h"

#include <cmath>
#include <mutex>
#include <random>

namespace {

constexpr int64_t invalidTokenCode = 190;

std::mutex& sessionLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<Facebook>& sharedSession()
{
    static std::shared_ptr<Facebook> session;
    return session;
}

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

fnd::UserDefaults& defaults()
{
    return *fnd::UserDefaults::standardUserDefaults();
}

void setText(fnd::MutableDictionary& params, std::string_view key, std::string_view value)
{
    params.setObjectForKey(fnd::String::create(value), key);
}

std::string jsonString(std::string_view text)
{
    JsonCodec codec;
    auto encoded = codec.stringWithFragmentError(fnd::String::create(text), nullptr);
    return encoded ? encoded->utf8() : "\"\"";
}

uint32_t random32()
{
    static std::mt19937 generator { std::random_device {}() };
    return generator();
}

}

SHKFacebook::SHKFacebook() = default;
SHKFacebook::~SHKFacebook() = default;

std::shared_ptr<Facebook> SHKFacebook::facebook()
{
    std::lock_guard guard(sessionLock());
    auto& session = sharedSession();
    if (!session) {
        auto suffix = configuration().facebookLocalAppId();
        session = Facebook::create(configuration().facebookAppId(), suffix.empty() ? std::nullopt : std::optional(suffix), {});
    }
    return session;
}

void SHKFacebook::resetForTesting()
{
    std::lock_guard guard(sessionLock());
    sharedSession() = nullptr;
}

bool SHKFacebook::handleOpenURL(const fnd::URL& url)
{
    return facebook()->handleOpenURL(url);
}

void SHKFacebook::flushAccessToken()
{
    auto session = facebook();
    session->setAccessToken(std::nullopt);
    session->setExpirationDate(nullptr);
    defaults().removeObjectForKey(accessTokenKey);
    defaults().removeObjectForKey(expiryDateKey);
    defaults().removeObjectForKey(userInfoKey);
    defaults().synchronize();
}

std::optional<std::filesystem::path> SHKFacebook::storedImagePath(const gfx::Image& image)
{
    auto folder = fnd::FileManager::cachesDirectory() / storedImagesFolder;
    if (!fnd::FileManager::isDirectory(folder) && !fnd::FileManager::createDirectory(folder))
        return std::nullopt;
    auto seconds = static_cast<int64_t>(std::floor(fnd::Clock::current().now()));
    auto path = folder / fnd::format("img-%lld-%u", seconds, random32());
    auto png = image.pngRepresentation();
    if (!png || !fnd::FileManager::writeAtomically(path, png->span()))
        return std::nullopt;
    return path;
}

fnd::Ref<gfx::Image> SHKFacebook::storedImage(const std::filesystem::path& path)
{
    auto data = fnd::FileManager::contentsOfFile(path);
    fnd::FileManager::removeItem(path);
    return data ? gfx::Image::createWithData(*data) : nullptr;
}

void SHKFacebook::logout(const SHKSharerClass&)
{
    defaults().removeObjectForKey(storedItemKey);
    flushAccessToken();
    facebook()->logout();
}

bool SHKFacebook::isAuthorized()
{
    auto session = facebook();
    if (session->isSessionValid())
        return true;
    session->setAccessToken(defaults().stringForKey(accessTokenKey));
    session->setExpirationDate(fnd::as<fnd::Date>(defaults().objectForKey(expiryDateKey)));
    return session->isSessionValid();
}

void SHKFacebook::parkItem()
{
    auto stored = fnd::as<fnd::MutableDictionary>(fnd::mutableCopyOf(item()->dictionaryRepresentation()));
    if (auto image = item()->image()) {
        if (auto path = storedImagePath(*image))
            setText(*stored, storedImagePathKey, path->string());
    }
    defaults().setObjectForKey(stored, storedItemKey);
}

void SHKFacebook::restoreParkedItem()
{
    auto stored = defaults().dictionaryForKey(storedItemKey);
    if (!stored)
        return;
    auto restored = SHKItem::itemFromDictionary(stored);
    if (auto path = stored->stringForKey(storedImagePathKey))
        restored->setImage(storedImage(*path));
    setItem(restored);
    defaults().removeObjectForKey(storedItemKey);
}

void SHKFacebook::promptAuthorization()
{
    auto protect = protectedThis();
    parkItem();
    facebook()->setSessionDelegate(weakAs<FBSessionDelegate>());
    // Held across the switch to the Facebook application or the browser.
    keepAlive();
    facebook()->authorize(configuration().facebookListOfPermissions());
}

void SHKFacebook::fbDidLogin()
{
    auto protect = protectedThis();
    auto session = facebook();
    if (auto& token = session->accessToken())
        defaults().setObjectForKey(fnd::String::create(*token), accessTokenKey);
    if (auto& expiry = session->expirationDate())
        defaults().setObjectForKey(expiry, expiryDateKey);
    restoreParkedItem();
    defaults().synchronize();
    authDidFinish(true);
    // The login's hold ends here; a share that resumes holds the sharer again.
    stopKeepingAlive();
    if (item())
        tryPendingAction();
}

void SHKFacebook::fbDidNotLogin(bool cancelled)
{
    auto protect = protectedThis();
    if (!cancelled) {
        ui::AlertView::create(SHKLocalizedText("Authorize Error"), SHKLocalizedText("There was an error while authorizing"), nullptr,
            SHKLocalizedText("Close"))
            ->show();
    }
    authDidFinish(false);
}

void SHKFacebook::show()
{
    auto protect = protectedThis();
    auto type = item()->shareType();
    if (type != SHKShareTypeText && type != SHKShareTypeImage) {
        tryToSend();
        return;
    }
    auto form = SHKCustomFormControllerLargeTextField::create(std::shared_ptr<SHKFormControllerLargeTextFieldDelegate>(sharedAs<SHKFacebook>()));
    if (type == SHKShareTypeImage) {
        form->setImage(item()->image());
        form->setText(item()->title().value_or(""));
    } else {
        form->setText(item()->text().value_or(""));
    }
    navigationBar()->setTintColor(configuration().barTintForView(protect));
    pushViewController(form, false);
    SHK::currentHelper().showViewController(protect);
}

void SHKFacebook::sendForm(SHKFormControllerLargeTextField& form)
{
    auto protect = protectedThis();
    auto text = form.textView() ? form.textView()->text() : form.text();
    if (item()->shareType() == SHKShareTypeImage)
        item()->setTitle(text);
    else
        item()->setText(text);
    tryToSend();
}

std::string SHKFacebook::actionsText() const
{
    auto name = SHKLocalizedText("Get") + " " + configuration().appName();
    return "{\"name\":" + jsonString(name) + ",\"link\":" + jsonString(configuration().appURL()) + "}";
}

bool SHKFacebook::send()
{
    if (!validateItem())
        return false;
    auto params = fnd::MutableDictionary::create();
    setText(*params, "actions", actionsText());
    auto& shared = *item();
    m_dialogOutcomeReported = false;

    switch (shared.shareType()) {
    case SHKShareTypeURL: {
        if (!shared.URL())
            return false;
        auto link = shared.URL()->absoluteString();
        setText(*params, "link", link);
        setText(*params, "name", shared.title().value_or(link));
        if (shared.text())
            setText(*params, "message", *shared.text());
        if (auto picture = shared.customValueForKey("picture"))
            setText(*params, "picture", *picture);
        facebook()->dialog("feed", params, weakAs<FBDialogDelegate>());
        return true;
    }
    case SHKShareTypeText:
        if (!shared.text())
            return false;
        setText(*params, "message", *shared.text());
        facebook()->requestWithGraphPath("me/feed", params, "POST", weakAs<FBRequestDelegate>());
        return true;
    case SHKShareTypeImage:
        if (!shared.image())
            return false;
        if (shared.title())
            setText(*params, "caption", *shared.title());
        if (shared.text())
            setText(*params, "message", *shared.text());
        params->setObjectForKey(shared.image(), "picture");
        facebook()->requestWithGraphPath("me/photos", params, "POST", weakAs<FBRequestDelegate>());
        return true;
    case SHKShareTypeUserInfoRequest:
        setQuiet(true);
        facebook()->requestWithGraphPath("me", weakAs<FBRequestDelegate>());
        return true;
    default:
        return false;
    }
}

void SHKFacebook::shareAgainAfterLogin(const fnd::Ref<fnd::Error>&)
{
    flushAccessToken();
    shouldReloginWithPendingAction(PendingActionShare);
}

void SHKFacebook::dialogCompleteWithUrl(const fnd::Ref<fnd::URL>& url)
{
    auto protect = protectedThis();
    auto text = url ? url->absoluteString() : std::string();
    if (text == Facebook::successRedirect)
        setQuiet(true);
    auto code = FBDialog::getStringFromUrl(text, "error_code=");
    if (!code)
        return;
    // The page came back with an error: the share did not go out.
    m_dialogOutcomeReported = true;
    auto userInfo = fnd::MutableDictionary::create();
    if (auto message = FBDialog::getStringFromUrl(text, "error_msg=")) {
        setText(*userInfo, "error_msg", *message);
        setText(*userInfo, fnd::Error::localizedDescriptionKey, *message);
    }
    auto error = fnd::Error::create(std::string(FBRequest::errorDomain), fnd::String(*code).intValue(), userInfo);
    if (error->code() == invalidTokenCode)
        shareAgainAfterLogin(error);
    else
        sendDidFailWithError(error);
}

void SHKFacebook::dialogDidComplete(FBDialog&)
{
    if (m_dialogOutcomeReported)
        return;
    sendDidFinish();
}

void SHKFacebook::dialogDidNotComplete(FBDialog&)
{
    sendDidCancel();
}

void SHKFacebook::dialogDidFailWithError(FBDialog&, const fnd::Ref<fnd::Error>& error)
{
    auto protect = protectedThis();
    if (error && error->domain() == FBRequest::errorDomain && error->code() == invalidTokenCode) {
        shareAgainAfterLogin(error);
        return;
    }
    if (!error || error->code() != fnd::URLError::Cancelled) {
        sendDidFailWithError(error);
        return;
    }
    stopKeepingAlive();
}

void SHKFacebook::requestLoading(FBRequest&)
{
    sendDidStart();
}

void SHKFacebook::requestDidLoad(FBRequest& request, const fnd::Id& result)
{
    auto protect = protectedThis();
    auto profile = fnd::as<fnd::Dictionary>(result);
    if (request.url().ends_with("/me") && profile && profile->objectForKey("id")) {
        auto stored = fnd::as<fnd::MutableDictionary>(fnd::mutableCopyOf(profile));
        SHKConvertNullsToEmptyStrings(*stored);
        defaults().setObjectForKey(stored, userInfoKey);
    }
    sendDidFinish();
}

void SHKFacebook::requestDidFailWithError(FBRequest&, const fnd::Ref<fnd::Error>& error)
{
    auto protect = protectedThis();
    auto serviceError = error && error->domain() == FBRequest::errorDomain ? error->userInfo()->objectForKeyAs<fnd::Dictionary>("error") : nullptr;
    auto code = serviceError ? serviceError->objectForKey("code") : nullptr;
    bool invalidToken = (fnd::is<fnd::Number>(code) && fnd::as<fnd::Number>(code)->longLongValue() == invalidTokenCode)
        || (fnd::is<fnd::String>(code) && fnd::as<fnd::String>(code)->longLongValue() == invalidTokenCode);
    if (invalidToken) {
        shouldReloginWithPendingAction(PendingActionSend);
        return;
    }
    sendDidFailWithError(error);
}
