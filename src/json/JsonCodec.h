#pragma once

#include "json/JsonCodecBase.h"
#include "json/JsonParser.h"
#include "json/JsonWriter.h"

#include "platform/foundation/Error.h"

#include <memory>

// One parser and one writer behind a single object. After a failed call the facade's own error
// trace is a copy of the worker's; a successful call leaves it as it was.
class JsonCodec : public JsonCodecBase {
public:
    JsonCodec();
    ~JsonCodec() override;

    fnd::Id objectWithString(const fnd::Ref<fnd::String>&);
    // With allowScalar a lone string, number, boolean or null is accepted at the top level. On
    // failure `error`, when given, receives the trace's last error.
    fnd::Id objectWithStringAllowScalarError(const fnd::Ref<fnd::String>&, bool allowScalar, fnd::Ref<fnd::Error>* error);
    fnd::Id fragmentWithStringError(const fnd::Ref<fnd::String>&, fnd::Ref<fnd::Error>* error);
    fnd::Id objectWithStringError(const fnd::Ref<fnd::String>&, fnd::Ref<fnd::Error>* error);

    fnd::Ref<fnd::String> stringWithObject(const fnd::Id&);
    fnd::Ref<fnd::String> stringWithObjectAllowScalarError(const fnd::Id&, bool allowScalar, fnd::Ref<fnd::Error>* error);
    fnd::Ref<fnd::String> stringWithFragmentError(const fnd::Id&, fnd::Ref<fnd::Error>* error);
    fnd::Ref<fnd::String> stringWithObjectError(const fnd::Id&, fnd::Ref<fnd::Error>* error);

    // Read from the parser; set on both workers.
    uint32_t maxDepth() const override;
    void setMaxDepth(uint32_t) override;
    bool humanReadable() const;
    void setHumanReadable(bool);
    bool sortKeys() const;
    void setSortKeys(bool);

    std::string_view className() const override { return "JsonCodec"; }

private:
    // Takes over a copy of the worker's trace and hands its last error to `error`.
    void adoptFailureOf(const JsonCodecBase& worker, fnd::Ref<fnd::Error>* error);

    std::unique_ptr<JsonParser> m_jsonParser;
    std::unique_ptr<JsonWriter> m_jsonWriter;
};
