#include "sharing/core/SHKPlatformExtensions.h"

#include "platform/crypto/Digest.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/String.h"

#include <vector>

std::string SHKDataMD5(const fnd::Data& data)
{
    return crypto::md5Hex(data.span());
}

void SHKConvertNullsToEmptyStrings(fnd::MutableDictionary& root)
{
    // Depth first with a stack of our own: decoded replies can nest deeper than the call stack allows.
    std::vector<fnd::MutableDictionary*> pending { &root };
    std::vector<fnd::Ref<fnd::MutableDictionary>> keptAlive;
    while (!pending.empty()) {
        auto& dictionary = *pending.back();
        pending.pop_back();
        std::vector<fnd::DictionaryEntry> replacements;
        dictionary.forEachEntry([&](const fnd::Id& key, const fnd::Id& value, bool&) {
            if (fnd::isNull(value)) {
                replacements.push_back({ key, fnd::String::empty() });
                return;
            }
            auto nested = fnd::as<fnd::Dictionary>(value);
            if (!nested)
                return;
            auto mutableNested = nested->isMutable() ? fnd::as<fnd::MutableDictionary>(nested) : nullptr;
            if (!mutableNested) {
                mutableNested = fnd::as<fnd::MutableDictionary>(nested->mutableCopy());
                replacements.push_back({ key, mutableNested });
            }
            keptAlive.push_back(mutableNested);
            pending.push_back(mutableNested.get());
        });
        for (auto& [key, value] : replacements)
            dictionary.setObjectForKey(value, key);
    }
}
