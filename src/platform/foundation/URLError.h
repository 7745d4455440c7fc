#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/URL.h"

#include <cstdint>
#include <string_view>

namespace fnd {

// Failures of URL loading, in the platform's URL error domain with its codes.
class URLError {
public:
    static constexpr std::string_view domain = "NSURLErrorDomain";
    static constexpr std::string_view failingURLStringKey = "NSErrorFailingURLStringKey";

    enum Code : int64_t {
        Unknown = -1,
        Cancelled = -999,
        BadURL = -1000,
        TimedOut = -1001,
        UnsupportedURL = -1002,
        CannotFindHost = -1003,
        CannotConnectToHost = -1004,
        NetworkConnectionLost = -1005,
        HTTPTooManyRedirects = -1007,
        BadServerResponse = -1011,
        UserAuthenticationRequired = -1013,
        CannotDecodeContentData = -1016,
        FileDoesNotExist = -1100,
        SecureConnectionFailed = -1200,
        ServerCertificateUntrusted = -1202,
        ClientCertificateRejected = -1205,
    };

    // An error with the platform's description for the code and, when given, the failing address.
    static Ref<Error> create(int64_t code, const URL* failingURL = nullptr);
    static std::string_view descriptionForCode(int64_t code);
};

}
