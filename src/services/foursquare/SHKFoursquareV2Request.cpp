#include "services/foursquare/SHKFoursquareV2Request.h"

#include "json/JsonCodec.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/String.h"
#include "services/ServiceEndpoints.h"
#include "services/foursquare/SHKFoursquareV2Error.h"
#include "services/foursquare/SHKFoursquareV2Venue.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"

namespace {

std::string base(const std::string& accessToken, std::string_view path)
{
    return fnd::format("%@%@?oauth_token=%@&v=%@", ServiceEndpoints::shared().url("fsq.api"), path, accessToken,
        SHKFoursquareV2Request::apiVersion);
}

// The platform's formatting never depends on the process locale: a decimal point in any country.
std::string positionItems(const std::optional<loc::Location>& location)
{
    auto position = location.value_or(loc::Location { .verticalAccuracy = 0 });
    return fnd::format("&ll=%.5f,%.5f&llAcc=%.2f&alt=%.2f&altAcc=%.2f", position.latitude, position.longitude, position.horizontalAccuracy,
        position.altitude, position.verticalAccuracy);
}

}

fnd::Ref<fnd::URL> SHKFoursquareV2Request::venuesSearchURL(const std::optional<loc::Location>& location,
    const std::optional<std::string>& query, const std::string& accessToken)
{
    auto address = base(accessToken, "/venues/search") + positionItems(location);
    if (query)
        address += "&query=" + OAURLEncodedString(*query);
    return fnd::URL::create(address);
}

fnd::Ref<fnd::URL> SHKFoursquareV2Request::checkinURL(const std::optional<loc::Location>& location, const SHKFoursquareV2Venue& venue,
    const std::optional<std::string>& message, const std::string& accessToken)
{
    auto address = base(accessToken, "/checkins/add") + "&venueId=" + venue.venueId.value_or("") + positionItems(location);
    if (message && !message->empty())
        address += "&shout=" + OAURLEncodedString(*message);
    return fnd::URL::create(address);
}

fnd::Ref<fnd::URL> SHKFoursquareV2Request::profileURL(const std::string& userId, const std::string& accessToken)
{
    return fnd::URL::create(fnd::format("%@/users/%@?oauth_token=%@&v=%@", ServiceEndpoints::shared().url("fsq.api"), userId, accessToken, apiVersion));
}

void SHKFoursquareV2Request::start()
{
    m_decoded = false;
    m_result = nullptr;
    m_errorMade = false;
    m_error = nullptr;
    SHKRequest::start();
}

fnd::Ref<fnd::Dictionary> SHKFoursquareV2Request::getFoursquareResult()
{
    if (!m_decoded) {
        m_decoded = true;
        if (auto text = getResult()) {
            JsonCodec codec;
            m_result = fnd::as<fnd::Dictionary>(codec.objectWithString(fnd::String::create(*text)));
        }
    }
    return m_result;
}

fnd::Ref<fnd::Dictionary> SHKFoursquareV2Request::getFoursquareMeta()
{
    auto result = getFoursquareResult();
    return result ? result->objectForKeyAs<fnd::Dictionary>("meta") : nullptr;
}

fnd::Ref<fnd::Dictionary> SHKFoursquareV2Request::getFoursquareResponse()
{
    auto result = getFoursquareResult();
    return result ? result->objectForKeyAs<fnd::Dictionary>("response") : nullptr;
}

fnd::Ref<fnd::Error> SHKFoursquareV2Request::getFoursquareError()
{
    if (success())
        return nullptr;
    if (!m_errorMade) {
        m_errorMade = true;
        m_error = SHKFoursquareV2Error::errorWithFoursquareMeta(getFoursquareMeta());
    }
    return m_error;
}
