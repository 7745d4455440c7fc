#include "json/JsonCodec.h"

JsonCodec::JsonCodec()
    : m_jsonParser(std::make_unique<JsonParser>())
    , m_jsonWriter(std::make_unique<JsonWriter>())
{
    setMaxDepth(defaultMaxDepth);
}

JsonCodec::~JsonCodec() = default;

fnd::Id JsonCodec::objectWithString(const fnd::Ref<fnd::String>& string)
{
    fnd::Id value = m_jsonParser->objectWithString(string);
    if (!value)
        adoptFailureOf(*m_jsonParser, nullptr);
    return value;
}

fnd::Id JsonCodec::objectWithStringAllowScalarError(const fnd::Ref<fnd::String>& string, bool allowScalar, fnd::Ref<fnd::Error>* error)
{
    fnd::Id value = allowScalar ? m_jsonParser->fragmentWithString(string) : m_jsonParser->objectWithString(string);
    if (!value)
        adoptFailureOf(*m_jsonParser, error);
    return value;
}

fnd::Id JsonCodec::fragmentWithStringError(const fnd::Ref<fnd::String>& string, fnd::Ref<fnd::Error>* error)
{
    return objectWithStringAllowScalarError(string, true, error);
}

fnd::Id JsonCodec::objectWithStringError(const fnd::Ref<fnd::String>& string, fnd::Ref<fnd::Error>* error)
{
    return objectWithStringAllowScalarError(string, false, error);
}

fnd::Ref<fnd::String> JsonCodec::stringWithObject(const fnd::Id& value)
{
    auto text = m_jsonWriter->stringWithObject(value);
    if (!text)
        adoptFailureOf(*m_jsonWriter, nullptr);
    return text;
}

fnd::Ref<fnd::String> JsonCodec::stringWithObjectAllowScalarError(const fnd::Id& value, bool allowScalar, fnd::Ref<fnd::Error>* error)
{
    auto text = allowScalar ? m_jsonWriter->stringWithFragment(value) : m_jsonWriter->stringWithObject(value);
    if (!text)
        adoptFailureOf(*m_jsonWriter, error);
    return text;
}

fnd::Ref<fnd::String> JsonCodec::stringWithFragmentError(const fnd::Id& value, fnd::Ref<fnd::Error>* error)
{
    return stringWithObjectAllowScalarError(value, true, error);
}

fnd::Ref<fnd::String> JsonCodec::stringWithObjectError(const fnd::Id& value, fnd::Ref<fnd::Error>* error)
{
    return stringWithObjectAllowScalarError(value, false, error);
}

uint32_t JsonCodec::maxDepth() const
{
    return m_jsonParser->maxDepth();
}

void JsonCodec::setMaxDepth(uint32_t maxDepth)
{
    m_jsonParser->setMaxDepth(maxDepth);
    m_jsonWriter->setMaxDepth(maxDepth);
}

bool JsonCodec::humanReadable() const
{
    return m_jsonWriter->humanReadable();
}

void JsonCodec::setHumanReadable(bool humanReadable)
{
    m_jsonWriter->setHumanReadable(humanReadable);
}

bool JsonCodec::sortKeys() const
{
    return m_jsonWriter->sortKeys();
}

void JsonCodec::setSortKeys(bool sortKeys)
{
    m_jsonWriter->setSortKeys(sortKeys);
}

void JsonCodec::adoptFailureOf(const JsonCodecBase& worker, fnd::Ref<fnd::Error>* error)
{
    fnd::Ref<fnd::Array> trace = worker.errorTrace();
    replaceErrorTrace(trace ? fnd::as<fnd::MutableArray>(trace->mutableCopy()) : nullptr);
    if (error)
        *error = trace ? fnd::as<fnd::Error>(trace->lastObject()) : nullptr;
}
