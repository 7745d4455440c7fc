#include "platform/foundation/URLError.h"

#include "platform/foundation/String.h"

namespace fnd {

std::string_view URLError::descriptionForCode(int64_t code)
{
    switch (code) {
    case Cancelled:
        return "cancelled";
    case BadURL:
        return "bad URL";
    case TimedOut:
        return "The request timed out.";
    case UnsupportedURL:
        return "unsupported URL";
    case CannotFindHost:
        return "A server with the specified hostname could not be found.";
    case CannotConnectToHost:
        return "Could not connect to the server.";
    case NetworkConnectionLost:
        return "The network connection was lost.";
    case HTTPTooManyRedirects:
        return "too many HTTP redirects";
    case BadServerResponse:
        return "bad server response";
    case UserAuthenticationRequired:
        return "The server requires authentication.";
    case CannotDecodeContentData:
        return "cannot decode content data";
    case FileDoesNotExist:
        return "The requested URL was not found on this server.";
    case SecureConnectionFailed:
        return "An SSL error has occurred and a secure connection to the server cannot be made.";
    case ServerCertificateUntrusted:
        return "The certificate for this server is invalid.";
    case ClientCertificateRejected:
        return "The server did not accept the certificate.";
    default:
        return "unknown error";
    }
}

Ref<Error> URLError::create(int64_t code, const URL* failingURL)
{
    auto userInfo = MutableDictionary::create();
    userInfo->setObjectForKey(String::create(descriptionForCode(code)), Error::localizedDescriptionKey);
    if (failingURL)
        userInfo->setObjectForKey(String::create(failingURL->absoluteString()), failingURLStringKey);
    return Error::create(std::string(domain), code, userInfo);
}

}
