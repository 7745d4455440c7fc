#pragma once

#include "sharing/core/SHKItem.h"

#include <memory>
#include <string>
#include <string_view>

// What the sharing helper, the action sheet and the share menu ask of a sharer class without an
// instance. Every sharer class registers itself in rt::ClassRegistry under its class name with an
// object of this type as its metaclass:
//     rt::ClassRegistry::shared().registerClass<SHKSharer, SHKSharerMetaclass>("SHKMail", factory, metaclass);
// An id whose class is not registered (yet) names no sharer: callers skip it.
class SHKSharerMetaclass {
public:
    virtual ~SHKSharerMetaclass();

    // The id that favourites, credentials and the offline queue use; normally the class name.
    virtual std::string sharerId() const = 0;
    virtual std::string sharerTitle() const = 0;
    // Whether the service is usable on this device.
    virtual bool canShare() const = 0;
    virtual bool canShareType(SHKShareType) const = 0;
    // Forgets the stored login.
    virtual void logout() const = 0;

    // The registered sharer class of that name, or nil.
    static std::shared_ptr<const SHKSharerMetaclass> named(std::string_view className);
};
