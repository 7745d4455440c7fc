#include "services/foursquare/SHKFoursquareV2Venue.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

namespace {

std::optional<std::string> textFor(const fnd::Dictionary& dictionary, std::string_view key)
{
    auto value = dictionary.objectForKey(key);
    if (!value || fnd::as<fnd::Null>(value))
        return std::nullopt;
    if (auto text = fnd::as<fnd::String>(value))
        return text->utf8();
    return value->description();
}

bool isTrue(const fnd::Id& value)
{
    auto number = fnd::as<fnd::Number>(value);
    return number && number->boolValue();
}

}

std::shared_ptr<SHKFoursquareV2Venue> SHKFoursquareV2Venue::venueFromDictionary(const fnd::Dictionary& dictionary)
{
    auto venue = std::make_shared<SHKFoursquareV2Venue>();
    venue->venueId = textFor(dictionary, "id");
    venue->name = textFor(dictionary, "name");
    if (auto location = dictionary.objectForKeyAs<fnd::Dictionary>("location"))
        venue->address = textFor(*location, "address");
    if (auto categories = dictionary.objectForKeyAs<fnd::Array>("categories")) {
        for (size_t index = 0; index < categories->count(); ++index) {
            auto category = categories->objectAtIndexAs<fnd::Dictionary>(index);
            if (category && isTrue(category->objectForKey("primary"))) {
                venue->icon = textFor(*category, "icon");
                break;
            }
        }
    }
    return venue;
}
