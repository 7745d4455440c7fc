#pragma once

#include "json/fast/JKObjectStack.h"
#include "json/fast/JKParseOptions.h"
#include "json/fast/JKPendingKey.h"
#include "json/fast/JKTokenCache.h"
#include "json/fast/JKTokenizer.h"
#include "platform/foundation/Error.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class JKArray;
class JKArraySlab;

// Everything a decoder keeps between parses: its options, the value cache and the scratch storage
// (token buffer, object stack, open containers), which is reused so that a warm decoder allocates
// only the objects it returns.
class JKParseState {
public:
    explicit JKParseState(JKParseOptionFlags);

    JKParseOptionFlags options() const { return m_options; }

    // Parses the bytes, whose top level must be an array or an object. On failure answers nothing and
    // stores the parse's first error through `error` when it is given.
    fnd::Id parse(const uint8_t* bytes, size_t length, bool mutableCollections, fnd::Ref<fnd::Error>* error);
    void clearCache() { m_cache.clear(); }

private:
    // An open array or object: its members are the object stack's entries from `start` on, and an
    // object's keys the key stack's from `keyStart` on.
    struct Frame {
        bool isDictionary;
        uint8_t accepts;
        bool holdsContainers;
        size_t start;
        size_t keyStart;
    };

    // How far readFlatArray() got with an array.
    enum class ArrayProgress : uint8_t {
        Closed,
        LeftOpen,
        Failed,
    };

    fnd::Id parseContainer();
    bool runArrays();
    ArrayProgress readFlatArrays(Frame& parent);
    ArrayProgress readFlatArray();
    void leaveArrayOpen(size_t start, uint8_t accepts);
    bool runDictionaries();
    bool takeComma(Frame&);
    bool skipCommaAfterMember(Frame&);
    Frame& innermostFrame() { return m_frames[m_depth - 1]; }
    void openContainer();
    void openFrame(bool isDictionary, uint8_t accepts, size_t start);
    void growFrames();
    void closeContainer();
    fnd::Id& placeForDictionary(std::span<fnd::Id> members);
    void dropTakenOverMembers(size_t start);
    void placeArray(fnd::Ref<JKArray>);
    fnd::Ref<JKArray> makeArray(size_t start, bool holdsContainers);
    fnd::Ref<JKArray> makeArrayInSlab(size_t start, size_t count);
    void startArraySlab();
    fnd::Id scalarValue();
    void recordExpectedTokens(uint8_t accepts, std::string_view valueWord, std::string_view endWord);

    JKParseOptionFlags m_options;
    bool m_mutableCollections { false };
    JKTokenizer m_tokenizer;
    JKTokenCache m_cache;
    JKObjectStack m_objectStack;
    std::vector<JKPendingKey> m_keyStack;
    // The open containers are the first `m_depth` frames; the vector only grows, so that opening a
    // container is a store rather than a call.
    std::vector<Frame> m_frames;
    size_t m_depth { 0 };
    // Where small arrays of scalars are made until it is full; given up when a parse ends, so that a
    // document's arrays never keep another's alive.
    std::shared_ptr<JKArraySlab> m_arraySlab;
    // Set when the outermost container closes.
    fnd::Id m_result;
};
