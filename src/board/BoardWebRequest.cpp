#include "board/BoardWebRequest.h"

#include "platform/foundation/Data.h"
#include "platform/foundation/HTTPURLResponse.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/URLConnection.h"
#include "platform/foundation/URLRequest.h"
#include "platform/foundation/Unicode.h"

void BoardWebRequest::fetchText(const fnd::Ref<fnd::URL>& url, Completion completion)
{
    if (!url || (url->scheme() != "http" && url->scheme() != "https")) {
        completion(std::nullopt);
        return;
    }
    fnd::URLRequest request(url, fnd::URLRequest::CachePolicy::UseProtocolCachePolicy, timeout);
    // The load runs on the URL loader's thread; the reply comes back on the main run loop.
    fnd::URLConnection::sendAsynchronousRequest(request,
        [completion = std::move(completion)](const fnd::Ref<fnd::HTTPURLResponse>&, const fnd::Ref<fnd::Data>& body, const fnd::Ref<fnd::Error>& error) {
            if (!body || error) {
                completion(std::nullopt);
                return;
            }
            completion(fnd::unicode::sanitizedUTF8(body->asStringView()));
        });
}
