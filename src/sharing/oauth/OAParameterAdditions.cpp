#include "sharing/oauth/OAParameterAdditions.h"

#include "platform/foundation/Format.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"

namespace {

bool parametersTravelInQuery(const fnd::URLRequest& request)
{
    auto& method = request.httpMethod();
    return method == "GET" || method == "DELETE";
}

std::string parameterSource(const fnd::URLRequest& request)
{
    if (parametersTravelInQuery(request))
        return request.url() ? request.url()->query().value_or("") : "";
    auto& body = request.httpBody();
    return body ? std::string(body->asStringView()) : "";
}

std::shared_ptr<OARequestParameter> parameterFromPiece(std::string_view piece)
{
    auto equals = piece.find('=');
    if (equals == std::string_view::npos)
        return OARequestParameter::requestParameterWithNameValue(OAURLDecodedString(piece), {});
    auto value = piece.substr(equals + 1);
    // Text after a second "=" is not part of the value.
    value = value.substr(0, value.find('='));
    return OARequestParameter::requestParameterWithNameValue(OAURLDecodedString(piece.substr(0, equals)), OAURLDecodedString(value));
}

}

std::optional<OARequestParameters> OARequestParametersOf(const fnd::URLRequest& request)
{
    auto source = parameterSource(request);
    if (source.empty())
        return std::nullopt;

    OARequestParameters parameters;
    std::string_view rest = source;
    while (true) {
        auto ampersand = rest.find('&');
        auto piece = rest.substr(0, ampersand);
        if (!piece.empty())
            parameters.push_back(parameterFromPiece(piece));
        if (ampersand == std::string_view::npos)
            break;
        rest.remove_prefix(ampersand + 1);
    }
    return parameters;
}

void OASetRequestParameters(fnd::URLRequest& request, const OARequestParameters& parameters)
{
    std::string joined;
    for (auto& parameter : parameters) {
        if (!joined.empty())
            joined += '&';
        joined += parameter->URLEncodedNameValuePair();
    }

    if (!parametersTravelInQuery(request)) {
        auto body = fnd::Data::create(joined);
        request.setValueForHTTPHeaderField(fnd::format("%d", body->length()), "Content-Length");
        request.setValueForHTTPHeaderField("application/x-www-form-urlencoded", "Content-Type");
        request.setHTTPBody(body);
        return;
    }
    if (!request.url())
        return;
    request.setURL(fnd::URL::create(fnd::format("%@?%@", OAURLStringWithoutQuery(*request.url()), joined)));
}
