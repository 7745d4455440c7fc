#pragma once

#include "platform/foundation/Array.h"
#include "platform/foundation/KeyValueObserving.h"
#include "platform/foundation/Object.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// The codes of the errors in a codec's trace.
enum class JsonErrorCode : int64_t {
    UnsupportedType = 1,
    MalformedNumber = 2,
    ParseError = 3,
    NotContainer = 4,
    ControlCharacter = 5,
    BadUnicodeEscape = 6,
    NestedTooDeep = 7,
    IllegalEscape = 8,
    TrailingComma = 9,
    GarbageAfterValue = 10,
    EndOfInput = 11,
    NilInput = 12,
};

// What the parser, the writer and their facade share: a trace of errors and a nesting limit.
// Every change of the trace is observable under errorTraceKey.
class JsonCodecBase : public fnd::Object, public fnd::KeyValueObservable {
public:
    static constexpr std::string_view errorDomain = "com.brenzo.JsonCodec.ErrorDomain";
    static constexpr std::string_view errorTraceKey = "errorTrace";
    static constexpr uint32_t defaultMaxDepth = 512;
    // Holds whatever maxDepth says, 0 included, so that no input or value recurses without bound.
    static constexpr uint32_t nestingCeiling = 2048;

    ~JsonCodecBase() override;
    JsonCodecBase(const JsonCodecBase&) = delete;
    JsonCodecBase& operator=(const JsonCodecBase&) = delete;

    // Nil until the first error. Innermost failure first: each error holds the one before it as
    // its underlying error, so the last one describes the outermost failure.
    fnd::Ref<fnd::Array> errorTrace() const;
    void addErrorWithCodeDescription(JsonErrorCode, std::string description);
    void clearErrorTrace();

    // 0 leaves only the fixed ceiling.
    virtual uint32_t maxDepth() const;
    virtual void setMaxDepth(uint32_t);

    std::string_view className() const override { return "JsonCodecBase"; }

protected:
    JsonCodecBase();

    void replaceErrorTrace(fnd::Ref<fnd::MutableArray>);

    void resetDepth() { m_depth = 0; }
    // Counts one more open container; adds "Nested too deep" and answers false when that is one
    // too many. The count stays raised on failure until the next call resets it.
    bool enterContainer();
    void leaveContainer() { --m_depth; }
    uint32_t depth() const { return m_depth; }

private:
    mutable std::mutex m_errorTraceLock;
    fnd::Ref<fnd::MutableArray> m_errorTrace;
    uint32_t m_depth { 0 };
    std::atomic<uint32_t> m_maxDepth { defaultMaxDepth };
};
