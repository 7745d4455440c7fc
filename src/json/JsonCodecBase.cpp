#include "json/JsonCodecBase.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/String.h"

JsonCodecBase::JsonCodecBase() = default;

JsonCodecBase::~JsonCodecBase() = default;

fnd::Ref<fnd::Array> JsonCodecBase::errorTrace() const
{
    std::lock_guard lock(m_errorTraceLock);
    return m_errorTrace;
}

void JsonCodecBase::addErrorWithCodeDescription(JsonErrorCode code, std::string description)
{
    auto userInfo = fnd::MutableDictionary::create(2);
    userInfo->setObjectForKey(fnd::String::create(std::move(description)), fnd::Error::localizedDescriptionKey);

    willChangeValueForKey(errorTraceKey);
    {
        std::lock_guard lock(m_errorTraceLock);
        if (!m_errorTrace)
            m_errorTrace = fnd::MutableArray::create(4);
        if (auto previous = m_errorTrace->lastObject())
            userInfo->setObjectForKey(previous, fnd::Error::underlyingErrorKey);
        m_errorTrace->addObject(fnd::Error::create(std::string(errorDomain), static_cast<int64_t>(code), userInfo));
    }
    didChangeValueForKey(errorTraceKey);
}

void JsonCodecBase::clearErrorTrace()
{
    replaceErrorTrace(nullptr);
}

void JsonCodecBase::replaceErrorTrace(fnd::Ref<fnd::MutableArray> trace)
{
    willChangeValueForKey(errorTraceKey);
    {
        std::lock_guard lock(m_errorTraceLock);
        std::swap(m_errorTrace, trace);
    }
    didChangeValueForKey(errorTraceKey);
}

uint32_t JsonCodecBase::maxDepth() const
{
    return m_maxDepth.load();
}

void JsonCodecBase::setMaxDepth(uint32_t maxDepth)
{
    m_maxDepth.store(maxDepth);
}

bool JsonCodecBase::enterContainer()
{
    ++m_depth;
    uint32_t limit = maxDepth();
    if ((limit && m_depth > limit) || m_depth > nestingCeiling) {
        addErrorWithCodeDescription(JsonErrorCode::NestedTooDeep, "Nested too deep");
        return false;
    }
    return true;
}
