#include "json/fast/JKParseState.h"

#include "json/fast/JKArray.h"
#include "json/fast/JKArraySlab.h"
#include "json/fast/JKDictionary.h"
#include "json/fast/JKError.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"

namespace {

// What an open container accepts next.
constexpr uint8_t acceptsValue = 1;
constexpr uint8_t acceptsComma = 2;
constexpr uint8_t acceptsEnd = 4;

using TokenType = JKTokenizer::TokenType;

}

JKParseState::JKParseState(JKParseOptionFlags options)
    : m_options(options)
    , m_tokenizer(options)
{
    // Room for what typical documents hold open at once, so that a decoder's first parse does not
    // grow the stacks step by step.
    m_objectStack.reserve(256);
    m_keyStack.reserve(64);
    m_frames.resize(32);
}

fnd::Id JKParseState::parse(const uint8_t* bytes, size_t length, bool mutableCollections, fnd::Ref<fnd::Error>* error)
{
    struct Reset {
        JKParseState& state;
        ~Reset()
        {
            state.m_objectStack.clear();
            state.m_keyStack.clear();
            state.m_depth = 0;
            state.m_result.reset();
            state.m_tokenizer.finish();
            state.m_mutableCollections = false;
            state.m_arraySlab.reset();
        }
    } reset { *this };

    m_tokenizer.start(bytes, length);
    m_mutableCollections = mutableCollections;

    fnd::Id result;
    // Running out of memory fails this parse like any other error; the open containers' members
    // are released by the reset above.
    try {
        if (!m_tokenizer.atEnd() && m_tokenizer.nextToken()) {
            TokenType type = m_tokenizer.tokenType();
            if (type == TokenType::ArrayBegin || type == TokenType::ObjectBegin)
                result = parseContainer();
            else
                m_tokenizer.recordError("Expected either '[' or '{'.");
        }
    } catch (const std::bad_alloc&) {
        result = nullptr;
        m_tokenizer.recordError("Internal error: Object == NULL");
    }

    if (!result) {
        if (m_tokenizer.index() == length)
            m_tokenizer.recordError("Reached the end of the buffer.");
        m_tokenizer.recordError("Unable to parse JSON.");
    } else {
        m_tokenizer.skipWhitespace();
        if (!(m_options & JKParseOptionPermitTextAfterValidJSON) && !m_tokenizer.atEnd()) {
            m_tokenizer.recordError("A valid JSON object was parsed but there were additional non-white-space characters remaining.");
            result = nullptr;
        }
    }

    if (error && m_tokenizer.hasError()) {
        auto& recorded = *m_tokenizer.error();
        *error = JKErrorWithDescriptionAtPosition(recorded.message, recorded.index, recorded.line);
    }
    return result;
}

// Inlined into the container loops, which call it for nearly every value.
[[gnu::always_inline]] inline fnd::Id JKParseState::scalarValue()
{
    switch (m_tokenizer.tokenType()) {
    case TokenType::True:
        return fnd::Number::yes();
    case TokenType::False:
        return fnd::Number::no();
    case TokenType::Null:
        return fnd::Null::null();
    case TokenType::Number:
        return m_cache.objectForNumber(m_tokenizer.tokenValue()).object;
    default:
        return m_cache.objectForString(m_tokenizer.tokenValue()).object;
    }
}

[[gnu::always_inline]] inline bool JKParseState::takeComma(Frame& frame)
{
    if (!(frame.accepts & acceptsComma)) {
        m_tokenizer.recordError("Unexpected ','.");
        return false;
    }
    frame.accepts = acceptsValue;
    return true;
}

// Members of arrays are mostly followed directly by a comma (coordinates, rows of numbers): passed
// over in place, it costs no round through the loop. The member was just added, so a comma is
// accepted.
[[gnu::always_inline]] inline bool JKParseState::skipCommaAfterMember(Frame& frame)
{
    if (!m_tokenizer.skipByte(','))
        return false;
    frame.accepts = acceptsValue;
    return true;
}

// Builds the array or object whose opening token was just read. Nested containers are kept on a frame
// stack rather than the call stack, so that nesting depth is bounded only by memory.
fnd::Id JKParseState::parseContainer()
{
    openContainer();
    while (m_depth) {
        // Input that ends inside a container fails without a message of its own here; the top level
        // then reports the end of the buffer.
        if (m_tokenizer.hasError() || m_tokenizer.atEnd())
            return nullptr;
        if (!(innermostFrame().isDictionary ? runDictionaries() : runArrays()))
            return nullptr;
    }
    return std::move(m_result);
}

// Reads the tokens of the innermost open array, and of the arrays opened or resumed inside it, until
// an object is on top, the outermost container closes or the input ends. Nested arrays (coordinates,
// matrices) are common, and staying here saves a round through parseContainer() per token.
bool JKParseState::runArrays()
{
    Frame* frame = &innermostFrame();
    for (;;) {
        // Input that ends here is left to parseContainer(), as it is between any two steps.
        if (m_tokenizer.atEnd())
            return true;
        if (!m_tokenizer.nextToken())
            return false;
        TokenType type = m_tokenizer.tokenType();
        if (m_tokenizer.tokenStartsValue()) {
            if (!(frame->accepts & acceptsValue)) {
                m_tokenizer.recordError("Unexpected value.");
                return false;
            }
            frame->accepts = acceptsComma | acceptsEnd;
            if (type == TokenType::ArrayBegin) {
                ArrayProgress progress = readFlatArrays(*frame);
                if (progress == ArrayProgress::Failed)
                    return false;
                if (progress == ArrayProgress::LeftOpen)
                    frame = &innermostFrame();
                continue;
            }
            if (type == TokenType::ObjectBegin) {
                openContainer();
                return true;
            }
            m_objectStack.push(scalarValue());
            skipCommaAfterMember(*frame);
            continue;
        }
        if (type == TokenType::Comma) {
            if (!takeComma(*frame))
                return false;
            continue;
        }
        if (type == TokenType::ArrayEnd) {
            if (!(frame->accepts & acceptsEnd)) {
                m_tokenizer.recordError("Unexpected ']'.");
                return false;
            }
            closeContainer();
            if (!m_depth || innermostFrame().isDictionary)
                return true;
            frame = &innermostFrame();
            skipCommaAfterMember(*frame);
            continue;
        }
        recordExpectedTokens(frame->accepts, "a value", "a ']'");
        return false;
    }
}

// Reads the array whose '[' was just read as long as its members are numbers or strings, each
// directly followed by a comma or the closing bracket, and makes it without opening a frame: most
// arrays of numbers (coordinates, rows) and of strings are written so. At anything else the array is
// left open as the innermost frame, in the state reached, for the general loop to go on with.
[[gnu::always_inline]] inline JKParseState::ArrayProgress JKParseState::readFlatArray()
{
    size_t start = m_objectStack.size();
    uint8_t accepts = acceptsValue | acceptsEnd;
    for (;;) {
        if (m_tokenizer.atNumber()) {
            if (!m_tokenizer.readNumber())
                return ArrayProgress::Failed;
            // A number that directly follows is scanned before this one is looked up, so that the
            // scan, which needs nothing of this value, overlaps the lookup, which waits on its hash.
            // The cache still sees the values in order.
            while (m_tokenizer.atCommaAndNumber()) {
                JKTokenValue previous = m_tokenizer.tokenValue();
                previous.bytes = reinterpret_cast<const uint8_t*>(&previous.number);
                m_tokenizer.skipByte(',');
                bool scanned = m_tokenizer.readNumber();
                m_objectStack.push(m_cache.objectForNumber(previous).object);
                if (!scanned)
                    return ArrayProgress::Failed;
            }
            m_objectStack.push(m_cache.objectForNumber(m_tokenizer.tokenValue()).object);
        } else if (m_tokenizer.atString()) {
            if (!m_tokenizer.nextToken())
                return ArrayProgress::Failed;
            m_objectStack.push(m_cache.objectForString(m_tokenizer.tokenValue()).object);
        } else if ((accepts & acceptsEnd) && m_tokenizer.skipByte(']')) {
            m_objectStack.push(JKArray::createEmpty(m_mutableCollections));
            return ArrayProgress::Closed;
        } else {
            leaveArrayOpen(start, accepts);
            return ArrayProgress::LeftOpen;
        }
        if (m_tokenizer.skipByte(',')) {
            accepts = acceptsValue;
            continue;
        }
        if (!m_tokenizer.skipByte(']')) {
            leaveArrayOpen(start, acceptsComma | acceptsEnd);
            return ArrayProgress::LeftOpen;
        }
        m_objectStack.push(makeArray(start, false));
        return ArrayProgress::Closed;
    }
}

// Reads the array whose '[' was just read and, while readFlatArray() closes them, the arrays that
// directly follow it in its parent (rows, coordinate pairs).
JKParseState::ArrayProgress JKParseState::readFlatArrays(Frame& parent)
{
    for (;;) {
        ArrayProgress progress = readFlatArray();
        if (progress != ArrayProgress::Closed)
            return progress;
        parent.holdsContainers = true;
        if (!skipCommaAfterMember(parent) || !m_tokenizer.skipByte('['))
            return progress;
        parent.accepts = acceptsComma | acceptsEnd;
    }
}

// Opens the frame of an array that readFlatArray() began, with the members from `start` on.
void JKParseState::leaveArrayOpen(size_t start, uint8_t accepts)
{
    openFrame(false, accepts, start);
}

// The counterpart of runArrays() for objects: reads the tokens of the innermost open object, and of
// the objects opened or resumed inside it, until an array is on top, the outermost container closes or
// the input ends.
bool JKParseState::runDictionaries()
{
    Frame* frame = &innermostFrame();
    for (;;) {
        if (m_tokenizer.atEnd())
            return true;
        if (!m_tokenizer.nextToken())
            return false;
        switch (m_tokenizer.tokenType()) {
        case TokenType::Comma:
            if (!takeComma(*frame))
                return false;
            continue;
        case TokenType::ObjectEnd:
            if (!(frame->accepts & acceptsEnd)) {
                m_tokenizer.recordError("Unexpected '}'.");
                return false;
            }
            closeContainer();
            if (!m_depth || !innermostFrame().isDictionary)
                return true;
            frame = &innermostFrame();
            continue;
        case TokenType::String: {
            if (!(frame->accepts & acceptsValue)) {
                m_tokenizer.recordError("Unexpected string.");
                return false;
            }
            fnd::Id key = m_cache.objectForString(m_tokenizer.tokenValue()).object;
            // Strings keep their hash once computed, so repeated keys are hashed once. Keys are plain
            // strings, so the hash is asked for without a virtual call, and the question is inlined.
            size_t keyHash = static_cast<const fnd::String&>(*key).String::hash();
            m_keyStack.push_back({ std::move(key), keyHash });
            if (!m_tokenizer.skipColon()) {
                if (!m_tokenizer.nextToken())
                    return false;
                if (m_tokenizer.tokenType() != TokenType::Colon) {
                    m_tokenizer.recordError("Expected ':'.");
                    return false;
                }
            }
            if (!m_tokenizer.nextToken())
                return false;
            if (!m_tokenizer.tokenStartsValue()) {
                recordExpectedTokens(frame->accepts, "a value", "a '}'");
                return false;
            }
            frame->accepts = acceptsComma | acceptsEnd;
            TokenType type = m_tokenizer.tokenType();
            if (type == TokenType::ObjectBegin) {
                openContainer();
                frame = &innermostFrame();
                continue;
            }
            if (type == TokenType::ArrayBegin) {
                // Empty arrays are common members; made here, they cost no round through runArrays()
                // and no frame.
                if (m_tokenizer.skipByte(']')) {
                    frame->holdsContainers = true;
                    m_objectStack.push(JKArray::createEmpty(m_mutableCollections));
                    continue;
                }
                openContainer();
                return true;
            }
            m_objectStack.push(scalarValue());
            continue;
        }
        default:
            recordExpectedTokens(frame->accepts, "a \"STRING\"", "a '}'");
            return false;
        }
    }
}

[[gnu::always_inline]] inline void JKParseState::openContainer()
{
    openFrame(m_tokenizer.tokenType() == TokenType::ObjectBegin, acceptsValue | acceptsEnd, m_objectStack.size());
}

// Growing invalidates references to the parent's frame, so callers must be done with it.
[[gnu::always_inline]] inline void JKParseState::openFrame(bool isDictionary, uint8_t accepts, size_t start)
{
    if (m_depth == m_frames.size()) [[unlikely]]
        growFrames();
    m_frames[m_depth++] = { isDictionary, accepts, false, start, m_keyStack.size() };
}

[[gnu::always_inline]] inline void JKParseState::closeContainer()
{
    Frame frame = m_frames[--m_depth];
    if (!frame.isDictionary) {
        placeArray(makeArray(frame.start, frame.holdsContainers));
        return;
    }
    std::span<fnd::Id> members = m_objectStack.entriesFrom(frame.start);
    fnd::Id& place = placeForDictionary(members);
    std::span<JKPendingKey> keys(m_keyStack.data() + frame.keyStart, m_keyStack.size() - frame.keyStart);
    JKDictionary::create(place, members, keys, m_mutableCollections, frame.holdsContainers);
    m_keyStack.resize(frame.keyStart);
    dropTakenOverMembers(frame.start);
}

// An array has taken over its members, which left the object stack: it goes where they were, or is
// the result when it is the outermost.
[[gnu::always_inline]] inline void JKParseState::placeArray(fnd::Ref<JKArray> array)
{
    if (!m_depth) {
        m_result = std::move(array);
        return;
    }
    innermostFrame().holdsContainers = true;
    m_objectStack.push(std::move(array));
}

// Makes the array of the stack's entries from `start` on. Small immutable arrays of scalars share a
// slab; the others each get a block of their own.
[[gnu::always_inline]] inline fnd::Ref<JKArray> JKParseState::makeArray(size_t start, bool holdsContainers)
{
    size_t count = m_objectStack.size() - start;
    if (count && count <= JKArraySlab::largestArrayCount && !holdsContainers && !m_mutableCollections)
        return makeArrayInSlab(start, count);
    return JKArray::create(m_objectStack, start, m_mutableCollections, holdsContainers);
}

[[gnu::always_inline]] inline fnd::Ref<JKArray> JKParseState::makeArrayInSlab(size_t start, size_t count)
{
    if (!m_arraySlab || !m_arraySlab->hasRoomFor(count)) [[unlikely]]
        startArraySlab();
    // The array shares the slab's reference count.
    return fnd::Ref<JKArray>(m_arraySlab, m_arraySlab->makeArray(m_objectStack, start));
}

// A new slab is needed once per ten pairs; kept out of line so that making an array stays short.
[[gnu::noinline]] void JKParseState::startArraySlab()
{
    m_arraySlab = std::allocate_shared<JKArraySlab>(JKPoolAllocator<JKArraySlab>());
}

// Where the dictionary that takes over the members goes: the result when it is the outermost, else the
// place of its first member.
[[gnu::always_inline]] inline fnd::Id& JKParseState::placeForDictionary(std::span<fnd::Id> members)
{
    if (!m_depth)
        return m_result;
    if (members.empty()) {
        m_objectStack.push(nullptr);
        return m_objectStack.top();
    }
    return members.front();
}

// Drops what is left of the members from `start` on once their dictionary has taken them over, except
// for the dictionary itself when it took the first one's place.
[[gnu::always_inline]] inline void JKParseState::dropTakenOverMembers(size_t start)
{
    if (!m_depth) {
        m_objectStack.shrink(start);
        return;
    }
    innermostFrame().holdsContainers = true;
    m_objectStack.shrink(start + 1);
}

// Kept out of line: documents rarely nest deeper than the frames made up front.
[[gnu::noinline]] void JKParseState::growFrames()
{
    m_frames.resize(m_frames.size() * 2);
}

void JKParseState::recordExpectedTokens(uint8_t accepts, std::string_view valueWord, std::string_view endWord)
{
    std::vector<std::string_view> words;
    if (accepts & acceptsValue)
        words.push_back(valueWord);
    if (accepts & acceptsComma)
        words.push_back("a comma");
    if (accepts & acceptsEnd)
        words.push_back(endWord);

    std::string expected;
    if (words.size() == 1)
        expected = std::string(words[0]);
    else if (words.size() == 2)
        expected = std::string(words[0]) + " or " + std::string(words[1]);
    else if (words.size() == 3)
        expected = std::string(words[0]) + ", " + std::string(words[1]) + ", or " + std::string(words[2]);
    m_tokenizer.recordError("Expected " + expected + ", not '" + std::string(m_tokenizer.tokenText()) + "'");
}
