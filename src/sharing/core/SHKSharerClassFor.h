#pragma once

#include "sharing/core/SHKSharer.h"
#include "sharing/core/SHKSharerClass.h"

#include <type_traits>

// The class object of one sharer type: each class-level question is answered by the type's static
// member of that name, which is the base's default unless the type declares its own.
template<typename Sharer>
class SHKSharerClassFor final : public SHKSharerClass {
    static_assert(std::is_base_of_v<SHKSharer, Sharer>, "a sharer class derives from SHKSharer");
    static_assert(std::is_same_v<Sharer, SHKSharer> || Sharer::sharerClassName != SHKSharer::sharerClassName,
        "a sharer class declares its own sharerClassName");

public:
    SHKSharerClassFor()
        : SHKSharerClass(std::string(Sharer::sharerClassName))
    {
    }

    std::string sharerId() const override { return Sharer::sharerId(*this); }
    std::string sharerTitle() const override { return Sharer::sharerTitle(); }
    bool canShare() const override { return Sharer::canShare(); }
    void logout() const override { Sharer::logout(*this); }

    bool canShareText() const override { return Sharer::canShareText(); }
    bool canShareURL() const override { return Sharer::canShareURL(); }
    bool canShareImage() const override { return Sharer::canShareImage(); }
    bool canShareFile() const override { return Sharer::canShareFile(); }
    bool canGetUserInfo() const override { return Sharer::canGetUserInfo(); }
    bool shareRequiresInternetConnection() const override { return Sharer::shareRequiresInternetConnection(); }
    bool canShareOffline() const override { return Sharer::canShareOffline(); }
    bool requiresAuthentication() const override { return Sharer::requiresAuthentication(); }
    bool canAutoShare() const override { return Sharer::canAutoShare(); }
    std::vector<fnd::Ref<SHKFormFieldSettings>> authorizationFormFields() const override { return Sharer::authorizationFormFields(); }
    std::optional<std::string> authorizationFormCaption() const override { return Sharer::authorizationFormCaption(); }

    std::shared_ptr<SHKSharer> createSharer() const override { return SHKSharer::create<Sharer>(); }
};

template<typename Sharer>
std::shared_ptr<const SHKSharerClass> SHKSharerClass::pointerOf()
{
    static const std::shared_ptr<const SHKSharerClass> sharerClass = std::make_shared<SHKSharerClassFor<Sharer>>();
    return sharerClass;
}

template<typename Sharer>
const SHKSharerClass& SHKSharerClass::of()
{
    return *pointerOf<Sharer>();
}

template<typename Sharer>
bool SHKSharerClass::registerSharer()
{
    return registerSharerClass(pointerOf<Sharer>());
}
