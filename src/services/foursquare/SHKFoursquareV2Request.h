#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Error.h"
#include "platform/location/Location.h"
#include "sharing/core/SHKRequest.h"

#include <optional>
#include <string>

struct SHKFoursquareV2Venue;

// A request to the check-in service's API, whose replies are a JSON envelope: "meta" (the code,
// and an error type on failure) and "response". Every request carries the access token and the
// API version in its query.
class SHKFoursquareV2Request : public SHKRequest {
public:
    static constexpr std::string_view apiVersion = "20110927";

    // Places near the position (zeros without one), narrowed by the query when there is one.
    template<typename Delegate>
    static std::shared_ptr<SHKFoursquareV2Request> requestVenuesSearch(const std::optional<loc::Location>& location,
        const std::optional<std::string>& query, const std::shared_ptr<Delegate>& delegate, FinishedOperation<Delegate> isFinishedSelector,
        const std::string& accessToken, bool autostart)
    {
        return make(venuesSearchURL(location, query, accessToken), std::nullopt, "GET", delegate, isFinishedSelector, autostart);
    }

    // A check-in at the venue, with the message as its shout when there is one. A POST whose body
    // is empty: everything goes in the query.
    template<typename Delegate>
    static std::shared_ptr<SHKFoursquareV2Request> requestCheckin(const std::optional<loc::Location>& location,
        const SHKFoursquareV2Venue& venue, const std::optional<std::string>& message, const std::shared_ptr<Delegate>& delegate,
        FinishedOperation<Delegate> isFinishedSelector, const std::string& accessToken, bool autostart)
    {
        return make(checkinURL(location, venue, message, accessToken), std::string(), "POST", delegate, isFinishedSelector, autostart);
    }

    template<typename Delegate>
    static std::shared_ptr<SHKFoursquareV2Request> requestProfileForUserId(const std::string& userId, const std::shared_ptr<Delegate>& delegate,
        FinishedOperation<Delegate> isFinishedSelector, const std::string& accessToken, bool autostart)
    {
        return make(profileURL(userId, accessToken), std::nullopt, "GET", delegate, isFinishedSelector, autostart);
    }

    static fnd::Ref<fnd::URL> venuesSearchURL(const std::optional<loc::Location>&, const std::optional<std::string>& query,
        const std::string& accessToken);
    static fnd::Ref<fnd::URL> checkinURL(const std::optional<loc::Location>&, const SHKFoursquareV2Venue&,
        const std::optional<std::string>& message, const std::string& accessToken);
    static fnd::Ref<fnd::URL> profileURL(const std::string& userId, const std::string& accessToken);

    using SHKRequest::SHKRequest;

    // Clears what the last reply decoded to.
    void start() override;

    // The reply decoded once; nil when it is not a JSON object.
    fnd::Ref<fnd::Dictionary> getFoursquareResult();
    fnd::Ref<fnd::Dictionary> getFoursquareMeta();
    fnd::Ref<fnd::Dictionary> getFoursquareResponse();
    // Nil on success; else the error the reply's meta describes.
    fnd::Ref<fnd::Error> getFoursquareError();

    std::string_view className() const override { return "SHKFoursquareV2Request"; }

private:
    template<typename Delegate>
    static std::shared_ptr<SHKFoursquareV2Request> make(fnd::Ref<fnd::URL> url, std::optional<std::string> body, std::string method,
        const std::shared_ptr<Delegate>& delegate, FinishedOperation<Delegate> isFinishedSelector, bool autostart)
    {
        auto request = std::make_shared<SHKFoursquareV2Request>(std::move(url), std::move(body), std::move(method));
        request->setDelegate(delegate, isFinishedSelector);
        if (autostart)
            request->start();
        return request;
    }

    bool m_decoded = false;
    fnd::Ref<fnd::Dictionary> m_result;
    fnd::Ref<fnd::Error> m_error;
    bool m_errorMade = false;
};
