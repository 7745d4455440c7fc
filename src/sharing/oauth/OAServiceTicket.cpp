#include "sharing/oauth/OAServiceTicket.h"

#include "platform/foundation/Unicode.h"

OAServiceTicket::OAServiceTicket(std::shared_ptr<OAMutableURLRequest> request, std::shared_ptr<fnd::HTTPURLResponse> response,
    fnd::Ref<fnd::Data> data, bool didSucceed)
    : m_request(std::move(request))
    , m_response(std::move(response))
    , m_data(std::move(data))
    , m_didSucceed(didSucceed)
{
}

std::optional<std::string> OAServiceTicket::body() const
{
    if (!m_data || !fnd::unicode::isValidUTF8(m_data->asStringView()))
        return std::nullopt;
    return std::string(m_data->asStringView());
}
