#include "sharing/core/SHKLocalizedText.h"

#include "platform/foundation/Bundle.h"

#include <mutex>

namespace {

struct LocalizationBundle {
    std::mutex lock;
    bool opened = false;
    fnd::Ref<fnd::Bundle> bundle;
};

LocalizationBundle& localizationBundle()
{
    // Never destroyed: worker threads may look texts up while the process exits.
    static auto* holder = new LocalizationBundle;
    return *holder;
}

fnd::Ref<fnd::Bundle> sharingBundle()
{
    auto& holder = localizationBundle();
    std::lock_guard guard(holder.lock);
    if (!holder.opened) {
        holder.bundle = fnd::Bundle::createWithPath(fnd::Bundle::main()->resourcePath() / "Sharing.bundle");
        holder.opened = true;
    }
    return holder.bundle;
}

}

std::string SHKBundleString(std::string_view key)
{
    auto bundle = sharingBundle();
    return bundle ? bundle->localizedString(key) : std::string(key);
}

void SHKResetLocalizationBundleForTesting()
{
    auto& holder = localizationBundle();
    std::lock_guard guard(holder.lock);
    holder.opened = false;
    holder.bundle = nullptr;
}
