#pragma once

#include "json/fast/JKParseOptions.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/Error.h"

#include <memory>

class JKParseState;

// The fast JSON decoder: UTF-8 text whose top level is an array or an object becomes JKArray and
// JKDictionary containers of strings, numbers (signed 64-bit, unsigned 64-bit, double), booleans and
// nulls. Containers accept changes only from the mutable... operations. Equal strings and numbers
// come out as one shared object, across the parses of one decoder, through its value cache.
// A decoder serves one parse at a time.
class JSONDecoder final : public fnd::Object {
    class ConstructionKey {
        friend class JSONDecoder;
        ConstructionKey() = default;
    };

public:
    static fnd::Ref<JSONDecoder> decoder();
    // Options above JKParseOptionValidFlags throw an "NSInvalidArgumentException".
    static fnd::Ref<JSONDecoder> decoderWithParseOptions(JKParseOptionFlags);

    JSONDecoder(ConstructionKey, JKParseOptionFlags);
    ~JSONDecoder() override;

    // Each answers the decoded value, or nothing with the parse's first error stored through `error`
    // when it is given. The error has the domain "JKErrorDomain", code -1, and the byte index
    // ("JKAtIndexKey") and line ("JKLineNumberKey") where the parse failed.
    fnd::Id objectWithUTF8StringLengthError(const char* string, size_t length, fnd::Ref<fnd::Error>* error);
    fnd::Id objectWithUTF8StringLength(const char* string, size_t length);
    fnd::Id mutableObjectWithUTF8StringLengthError(const char* string, size_t length, fnd::Ref<fnd::Error>* error);
    fnd::Id mutableObjectWithUTF8StringLength(const char* string, size_t length);
    fnd::Id objectWithDataError(const fnd::Ref<fnd::Data>&, fnd::Ref<fnd::Error>* error);
    fnd::Id objectWithData(const fnd::Ref<fnd::Data>&);
    fnd::Id mutableObjectWithDataError(const fnd::Ref<fnd::Data>&, fnd::Ref<fnd::Error>* error);
    fnd::Id mutableObjectWithData(const fnd::Ref<fnd::Data>&);

    // Older names of the immutable forms.
    fnd::Id parseUTF8StringLength(const char* string, size_t length);
    fnd::Id parseUTF8StringLengthError(const char* string, size_t length, fnd::Ref<fnd::Error>* error);
    fnd::Id parseJSONData(const fnd::Ref<fnd::Data>&);
    fnd::Id parseJSONDataError(const fnd::Ref<fnd::Data>&, fnd::Ref<fnd::Error>* error);

    // Forgets the cached values; later parses make new objects for them.
    void clearCache();
    // Releases the cache and the scratch storage at once; parsing afterwards throws.
    void freeParseState();

    JKParseOptionFlags parseOptions() const { return m_options; }

    std::string_view className() const override { return "JSONDecoder"; }

private:
    fnd::Id parse(const char* string, size_t length, bool mutableCollections, fnd::Ref<fnd::Error>* error);
    fnd::Id parseData(const fnd::Ref<fnd::Data>&, bool mutableCollections, fnd::Ref<fnd::Error>* error);

    JKParseOptionFlags m_options;
    std::unique_ptr<JKParseState> m_parseState;
};
