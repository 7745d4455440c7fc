#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/HTTPURLResponse.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class OAMutableURLRequest;

// What a signed fetch hands its delegate: the signed request, the response (none when the load
// failed before one came), the reply body and whether the service answered with a status below 400.
class OAServiceTicket {
public:
    OAServiceTicket(std::shared_ptr<OAMutableURLRequest>, std::shared_ptr<fnd::HTTPURLResponse>, fnd::Ref<fnd::Data>, bool didSucceed);

    const std::shared_ptr<OAMutableURLRequest>& request() const { return m_request; }
    const std::shared_ptr<fnd::HTTPURLResponse>& response() const { return m_response; }
    const fnd::Ref<fnd::Data>& data() const { return m_data; }
    bool didSucceed() const { return m_didSucceed; }

    // The reply body as text; nothing without a body or when it is not UTF-8.
    std::optional<std::string> body() const;

private:
    std::shared_ptr<OAMutableURLRequest> m_request;
    std::shared_ptr<fnd::HTTPURLResponse> m_response;
    fnd::Ref<fnd::Data> m_data;
    bool m_didSucceed;
};

// What a signed fetch reports: the reply of any status (finish), or a transport failure (fail).
using OAFetchFinishHandler = std::function<void(OAServiceTicket&, const fnd::Ref<fnd::Data>&)>;
using OAFetchFailHandler = std::function<void(OAServiceTicket&, const fnd::Ref<fnd::Error>&)>;
