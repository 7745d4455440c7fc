#include "platform/foundation/Error.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/String.h"

namespace fnd {

Ref<Error> Error::create(std::string domain, int64_t code, Ref<Dictionary> userInfo)
{
    return std::make_shared<Error>(std::move(domain), code, std::move(userInfo));
}

Ref<Error> Error::withDescription(std::string domain, int64_t code, std::string localizedDescription)
{
    auto userInfo = Dictionary::create({ { String::create(localizedDescriptionKey), String::create(std::move(localizedDescription)) } });
    return create(std::move(domain), code, std::move(userInfo));
}

Error::Error(std::string domain, int64_t code, Ref<Dictionary> userInfo)
    : m_domain(std::move(domain))
    , m_code(code)
    , m_userInfo(userInfo ? as<Dictionary>(copyOf(userInfo)) : Dictionary::create())
{
}

Error::~Error()
{
    // A long chain of underlying errors is released iteratively.
    DeferredRelease::release(std::move(m_userInfo));
}

std::string Error::localizedDescription() const
{
    if (auto text = m_userInfo->stringForKey(localizedDescriptionKey))
        return *text;
    return format("The operation couldn\u2019t be completed. (%s error %lld.)", m_domain, m_code);
}

Ref<Error> Error::underlyingError() const
{
    return m_userInfo->objectForKeyAs<Error>(underlyingErrorKey);
}

std::string Error::description() const
{
    std::string text = format("Error Domain=%s Code=%lld \"%s\"", m_domain, m_code, localizedDescription());
    if (m_userInfo->isEmpty())
        return text;
    // An underlying error is named, not described: describing a long chain would recurse and grow
    // with the square of its length.
    auto shown = MutableDictionary::create(m_userInfo->count());
    m_userInfo->forEachEntry([&](const Id& key, const Id& value, bool&) {
        if (auto error = as<Error>(value))
            shown->setObjectForKey(String::create(format("Error Domain=%s Code=%lld", error->domain(), error->code())), key);
        else
            shown->setObjectForKey(value, key);
    });
    return text + " UserInfo=" + shown->description();
}

}
