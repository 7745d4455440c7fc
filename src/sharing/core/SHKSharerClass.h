#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/URL.h"
#include "platform/graphics/Image.h"
#include "sharing/core/SHKItem.h"
#include "sharing/core/SHKSharerMetaclass.h"
#include "sharing/ui/SHKFormFieldSettings.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SHKSharer;

// Everything a sharer class answers without an instance: its title and id, what it can share,
// whether it needs a login or the network, its login form, and making sharers. Each sharer class
// has one, made by SHKSharerClassFor<Sharer> from the class's static members, so a sharer only
// declares the statics it changes (see SHKSharer):
//
//     class SHKMail : public SHKSharer {
//     public:
//         static constexpr std::string_view sharerClassName = "SHKMail";
//         static std::string sharerTitle() { return SHKLocalizedText("Email"); }
//         static bool canShareText() { return true; }
//         ...
//     };
//     SHKSharerClass::registerSharer<SHKMail>();   // from the application's registration function
//
// Registered classes are found by name through the platform's class registry, which is how
// favourites, the share menu and the offline queue reach them.
class SHKSharerClass : public SHKSharerMetaclass {
public:
    explicit SHKSharerClass(std::string className);
    ~SHKSharerClass() override;

    // The C++ class's name, as registered.
    const std::string& className() const { return m_className; }

    // Type 1 asks canShareURL, 2 canShareText, 3 canShareImage, 4 canShareFile, 5 canGetUserInfo;
    // any other type is refused.
    bool canShareType(SHKShareType) const final;

    virtual bool canShareText() const = 0;
    virtual bool canShareURL() const = 0;
    virtual bool canShareImage() const = 0;
    virtual bool canShareFile() const = 0;
    virtual bool canGetUserInfo() const = 0;
    virtual bool shareRequiresInternetConnection() const = 0;
    virtual bool canShareOffline() const = 0;
    virtual bool requiresAuthentication() const = 0;
    virtual bool canAutoShare() const = 0;
    virtual std::vector<fnd::Ref<SHKFormFieldSettings>> authorizationFormFields() const = 0;
    virtual std::optional<std::string> authorizationFormCaption() const = 0;

    // A new sharer of this class with the default delegate and an empty item.
    virtual std::shared_ptr<SHKSharer> createSharer() const = 0;

    // Shares the item with a new sharer, after moving this class to the front of the item type's
    // favourites. The caller need not keep the sharer: it keeps itself while it has work pending.
    std::shared_ptr<SHKSharer> shareItem(fnd::Ref<SHKItem>) const;
    // The same for a new item, without touching the favourites.
    std::shared_ptr<SHKSharer> shareURL(fnd::Ref<fnd::URL>, std::optional<std::string> title = {}) const;
    std::shared_ptr<SHKSharer> shareImage(fnd::Ref<gfx::Image>, std::optional<std::string> title) const;
    std::shared_ptr<SHKSharer> shareText(std::optional<std::string> text) const;
    std::shared_ptr<SHKSharer> shareFile(fnd::Ref<fnd::Data>, std::optional<std::string> filename, std::optional<std::string> mimeType,
        std::optional<std::string> title) const;
    // Asks the service for the user's account information (share type 5).
    std::shared_ptr<SHKSharer> getUserInfo() const;
    // Whether a sharer of this class would be authorised now.
    bool isServiceAuthorized() const;

    // The class of the sharer type (made on first use, kept for the life of the process).
    template<typename Sharer>
    static const SHKSharerClass& of();
    template<typename Sharer>
    static std::shared_ptr<const SHKSharerClass> pointerOf();
    // Registers the sharer type under its class name; false when the name was taken already.
    template<typename Sharer>
    static bool registerSharer();
    // The registered sharer class of that name, or nil.
    static std::shared_ptr<const SHKSharerClass> named(std::string_view className);
    // Registers an existing class object (tests that make classes of their own).
    static bool registerSharerClass(std::shared_ptr<const SHKSharerClass>);

private:
    std::shared_ptr<SHKSharer> startShare(const std::shared_ptr<SHKSharer>&) const;

    std::string m_className;
};
