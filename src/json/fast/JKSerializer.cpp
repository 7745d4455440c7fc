#include "json/fast/JKSerializer.h"

#include "json/fast/JKDictionary.h"
#include "json/fast/JKDoubleFormatter.h"
#include "json/fast/JKError.h"
#include "json/fast/JKRelease.h"
#include "json/fast/JKUnicode.h"
#include "platform/foundation/Unicode.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Assertion.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr const char* assertionFile = "JKSerializer";
constexpr size_t prefetchDistance = 12;
constexpr size_t contentsPrefetchDistance = 6;
constexpr char hexDigits[] = "0123456789abcdef";

// How each byte of a string is written: as it is, escaped, or (0x80 and above) as part of a UTF-8
// sequence that is checked and possibly escaped.
enum ByteClass : uint8_t {
    Plain,
    Escaped,
    NonASCII,
};

constexpr std::array<ByteClass, 256> byteClasses(bool escapeSlash)
{
    std::array<ByteClass, 256> table {};
    for (int byte = 0; byte < 256; ++byte) {
        if (byte < 0x20 || byte == '"' || byte == '\\' || (escapeSlash && byte == '/'))
            table[static_cast<size_t>(byte)] = Escaped;
        else if (byte >= 0x80)
            table[static_cast<size_t>(byte)] = NonASCII;
    }
    return table;
}

constexpr auto byteClassesKeepingSlash = byteClasses(false);
constexpr auto byteClassesEscapingSlash = byteClasses(true);

// Skips whole blocks of bytes that are written as they are, up to the block holding the first byte
// that is not; the caller looks at the rest byte by byte.
const uint8_t* skipPlainBytes(const uint8_t* cursor, const uint8_t* end, bool escapeSlash)
{
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i slash = _mm_set1_epi8(escapeSlash ? '/' : '"');
    // As signed bytes, both the control characters and the non-ASCII bytes are below a blank.
    const __m128i blank = _mm_set1_epi8(' ');
    while (end - cursor >= 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cursor));
        __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, backslash)),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, slash), _mm_cmplt_epi8(bytes, blank)));
        if (_mm_movemask_epi8(special))
            break;
        cursor += 16;
    }
#else
    (void)end;
    (void)escapeSlash;
#endif
    return cursor;
}

void appendUnicodeEscape(JKOutputBuffer& out, uint32_t unit)
{
    char text[6] = { '\\', 'u', hexDigits[(unit >> 12) & 0xF], hexDigits[(unit >> 8) & 0xF], hexDigits[(unit >> 4) & 0xF], hexDigits[unit & 0xF] };
    out.append(std::string_view(text, sizeof text));
}

void appendEscapedByte(JKOutputBuffer& out, uint8_t byte)
{
    switch (byte) {
    case '\b':
        out.append("\\b");
        return;
    case '\t':
        out.append("\\t");
        return;
    case '\n':
        out.append("\\n");
        return;
    case '\f':
        out.append("\\f");
        return;
    case '\r':
        out.append("\\r");
        return;
    case '"':
    case '\\':
    case '/':
        out.append('\\');
        out.append(static_cast<char>(byte));
        return;
    default:
        appendUnicodeEscape(out, byte);
        return;
    }
}

template<typename Integer>
void appendInteger(JKOutputBuffer& out, Integer value)
{
    constexpr size_t longest = 20;
    char* room = out.reserveRoom(longest);
    auto result = std::to_chars(room, room + longest, value);
    out.commit(static_cast<size_t>(result.ptr - room));
}

bool keyLess(const std::pair<fnd::Id, fnd::Id>& a, const std::pair<fnd::Id, fnd::Id>& b)
{
    return fnd::unicode::lessInUTF16Order(static_cast<const fnd::String&>(*a.first).view(), static_cast<const fnd::String&>(*b.first).view());
}

}

fnd::Id JKSerializer::serializeObjectOptionsEncodeOptionBlockDelegateSelectorError(const fnd::Id& object,
    JKSerializeOptionFlags options, JKEncodeOptionType encodeOption, const JKUnsupportedClassFormatter& block,
    JKSerializerDelegate* delegate, const char* selector, fnd::Ref<fnd::Error>* error)
{
    if (!FND_ASSERT(object, assertionFile, "Invalid parameter not satisfying: %s", "object != NULL"))
        return nullptr;
    if (!FND_ASSERT(!delegate || !block, assertionFile, "Invalid parameter not satisfying: %s", "((delegate == NULL) || (block == NULL))"))
        return nullptr;
    bool collection = encodeOption & JKEncodeOptionCollectionObj;
    bool stringBits = encodeOption & (JKEncodeOptionStringObj | JKEncodeOptionStringObjTrimQuotes);
    if (!FND_ASSERT(!collection || !stringBits, assertionFile, "Invalid parameter not satisfying: %s",
            "((encodeOption & JKEncodeOptionCollectionObj) == 0) || ((encodeOption & (JKEncodeOptionStringObj | JKEncodeOptionStringObjTrimQuotes)) == 0)"))
        return nullptr;

    if (error)
        *error = nullptr;
    if (delegate) {
        if (!selector)
            throw fnd::Exception("NSInvalidArgumentException", "The delegate argument is not NULL, but the selector argument is NULL.");
        if (!delegate->respondsToSelector(selector))
            throw fnd::Exception("NSInvalidArgumentException", "The serializeUnsupportedClassesUsingDelegate: delegate does not respond to the selector argument.");
    }

    JKSerializer serializer(options, encodeOption, block ? &block : nullptr, delegate, delegate ? selector : "");
    fnd::Id result = serializer.serialize(object);
    if (serializer.m_error && error)
        *error = JKErrorWithDescription(std::move(*serializer.m_error));
    return result;
}

JKSerializer::JKSerializer(JKSerializeOptionFlags options, JKEncodeOptionType encodeOption, const JKUnsupportedClassFormatter* block, JKSerializerDelegate* delegate, std::string_view selector)
    : m_options(options)
    , m_encodeOption(encodeOption)
    , m_block(block)
    , m_delegate(delegate)
    , m_selector(selector)
    , m_isPretty(options & JKSerializeOptionPretty)
    , m_true(fnd::Number::yes().get())
    , m_false(fnd::Number::no().get())
    , m_null(fnd::Null::null().get())
{
}

fnd::Id JKSerializer::serialize(const fnd::Id& object)
{
    if (!checkTopLevel(*object) || !writeDocument(object))
        return nullptr;
    switch (m_encodeOption & JKEncodeOptionAsTypeMask) {
    case JKEncodeOptionAsData:
        return fnd::Data::create(m_output.view());
    case JKEncodeOptionAsString:
        return fnd::String::create(m_output.take());
    default:
        fail("Unknown encode as type.");
        return nullptr;
    }
}

bool JKSerializer::checkTopLevel(const fnd::Object& object)
{
    if ((m_encodeOption & JKEncodeOptionCollectionObj) && !dynamic_cast<const fnd::Array*>(&object) && !dynamic_cast<const fnd::Dictionary*>(&object))
        return fail(fnd::format("Unable to serialize object class %@, expected a NSArray or NSDictionary.", object.className()));
    if ((m_encodeOption & JKEncodeOptionStringObj) && !dynamic_cast<const fnd::String*>(&object))
        return fail(fnd::format("Unable to serialize object class %@, expected a NSString.", object.className()));
    return true;
}

bool JKSerializer::fail(std::string message)
{
    if (!m_error)
        m_error = std::move(message);
    return false;
}

bool JKSerializer::writeDocument(const fnd::Id& object)
{
    auto* string = dynamic_cast<const fnd::String*>(object.get());
    if (string && (m_encodeOption & JKEncodeOptionStringObjTrimQuotes))
        return writeString(string->view(), false);
    if (!writeValue(object))
        return false;
    while (m_depth > 0) {
        if (!writeNextMember(m_frames[m_depth - 1]))
            return false;
    }
    return true;
}

namespace {

// The next of a sequence's `count` members, or nothing after the last. Members live apart from their
// container: fetch a few ahead while this one is written, and the storage of nested decoder
// containers once their object is at hand.
template<typename Frame, typename ObjectAt>
[[gnu::always_inline]] inline const fnd::Id* nextInSequence(Frame& frame, size_t count, const ObjectAt& objectAt)
{
    if (frame.next >= count)
        return nullptr;
    if (frame.next + prefetchDistance < count)
        __builtin_prefetch(objectAt(frame.next + prefetchDistance).get());
    if (frame.next + contentsPrefetchDistance < count)
        JKPrefetchChildContents(objectAt(frame.next + contentsPrefetchDistance).get());
    return &objectAt(frame.next++);
}

// Asks for the first members of a container that is about to be written.
template<typename ObjectAt>
void prefetchFirstMembers(size_t count, const ObjectAt& objectAt)
{
    for (size_t index = 0; index < std::min(count, prefetchDistance); ++index)
        __builtin_prefetch(objectAt(index).get());
}

}

// Writes the frame's next member, or closes the frame after its last one. Opening a nested container
// pushes a frame, so `frame` must not be used after writeValue().
bool JKSerializer::writeNextMember(Frame& frame)
{
    const fnd::Id* key = nullptr;
    const fnd::Id* value = nullptr;
    switch (frame.walk) {
    case Frame::Walk::Array:
        value = nextInSequence(frame, frame.array->count(), [&](size_t index) -> const fnd::Id& { return frame.array->objectAtIndex(index); });
        break;
    case Frame::Walk::Members:
        value = nextInSequence(frame, frame.members.size(), [&](size_t index) -> const fnd::Id& { return frame.members[index]; });
        break;
    case Frame::Walk::DictionarySlots: {
        const JKDictionary::Entry* entry = nullptr;
        while (!entry && frame.next < frame.slots.capacity)
            entry = frame.slots.entryAtSlot(frame.next++);
        if (!entry)
            break;
        if (auto* ahead = frame.slots.entryAtSlot(frame.next + prefetchDistance))
            __builtin_prefetch(ahead->object.get());
        if (auto* ahead = frame.slots.entryAtSlot(frame.next + contentsPrefetchDistance))
            JKPrefetchChildContents(ahead->object.get());
        key = &entry->key;
        value = &entry->object;
        break;
    }
    case Frame::Walk::Entries:
        if (frame.next >= frame.entries.size())
            break;
        key = &frame.entries[frame.next].first;
        value = &frame.entries[frame.next].second;
        ++frame.next;
        break;
    }

    // Past the last member.
    if (!value) {
        closeContainer();
        return true;
    }
    if (!frame.isEmpty)
        writeStructure(',');
    frame.isEmpty = false;
    if (key) {
        const fnd::Object& keyObject = **key;
        if (!writeKnownText(keyObject, true)) {
            if (kindOf(keyObject) != Kind::String)
                return fail("Key must be a string object.");
            size_t start = m_output.size();
            if (!writeString(static_cast<const fnd::String&>(keyObject).view(), true))
                return false;
            rememberText(keyObject, start, true);
        }
        writeStructure(':');
    }
    return writeValue(*value);
}

size_t JKSerializer::writtenTextSlot(const fnd::Object& object)
{
    auto address = reinterpret_cast<uintptr_t>(&object);
    return (((address >> 21) ^ (address >> 9)) + (address >> 4)) & (writtenTextSlotCount - 1);
}

bool JKSerializer::writeKnownText(const fnd::Object& object, bool mustBeString)
{
    const WrittenText& text = m_writtenText[writtenTextSlot(object)];
    if (text.object != &object || (mustBeString && !text.isString))
        return false;
    m_output.appendWritten(text.offset, text.length);
    return true;
}

void JKSerializer::rememberText(const fnd::Object& object, size_t offset, bool isString)
{
    size_t length = m_output.size() - offset;
    // Offsets and lengths are kept in 32 and 31 bits; text beyond that is simply not remembered.
    if (m_output.size() > UINT32_MAX || length >= (size_t(1) << 31))
        return;
    m_writtenText[writtenTextSlot(object)] = { &object, static_cast<uint32_t>(offset), static_cast<uint32_t>(length), isString };
    m_hasWrittenText = true;
}

JKSerializer::Kind JKSerializer::kindOf(const fnd::Object& object)
{
    const std::type_info* type = &typeid(object);
    for (const SeenClass& seen : m_seenClasses) {
        if (seen.type == type)
            return seen.kind;
    }
    Kind kind = Kind::Unsupported;
    if (dynamic_cast<const fnd::String*>(&object))
        kind = Kind::String;
    else if (dynamic_cast<const fnd::Number*>(&object))
        kind = Kind::Number;
    else if (dynamic_cast<const fnd::Dictionary*>(&object))
        kind = Kind::Dictionary;
    else if (dynamic_cast<const fnd::Array*>(&object))
        kind = Kind::Array;
    else if (dynamic_cast<const fnd::Null*>(&object))
        kind = Kind::Null;
    if (kind != Kind::Unsupported) {
        m_seenClasses[m_nextSeenClass] = { type, kind };
        m_nextSeenClass = (m_nextSeenClass + 1) % m_seenClasses.size();
    }
    return kind;
}

bool JKSerializer::writeValue(const fnd::Id& value)
{
    // The shared null is common in documents and needs neither a lookup nor a class check.
    if (value.get() == m_null) {
        m_output.append("null");
        return true;
    }
    if (writeKnownText(*value, false))
        return true;
    Kind kind = kindOf(*value);
    size_t start = m_output.size();
    switch (kind) {
    case Kind::String:
        if (!writeString(static_cast<const fnd::String&>(*value).view(), true))
            return false;
        rememberText(*value, start, true);
        return true;
    case Kind::Number:
        if (!writeNumber(static_cast<const fnd::Number&>(*value)))
            return false;
        rememberText(*value, start, false);
        return true;
    case Kind::Null:
        m_output.append("null");
        return true;
    case Kind::Dictionary:
    case Kind::Array:
        return openContainer(value, kind);
    case Kind::Unsupported:
        break;
    }
    return writeReplacement(value);
}

bool JKSerializer::writeReplacement(const fnd::Id& value)
{
    // The formatter may change the containers being written, so the object is held on to first, and
    // text remembered by address may belong to objects that are gone afterwards.
    fnd::Id original = value;
    if (m_hasWrittenText) {
        m_writtenText.fill(WrittenText());
        m_hasWrittenText = false;
    }
    fnd::Id replacement;
    if (m_block)
        replacement = (*m_block)(original);
    else if (m_delegate)
        replacement = m_delegate->performSelectorWithObject(m_selector, original);
    if (!replacement)
        return fail(fnd::format("Unable to serialize object class %@.", original->className()));
    Kind kind = kindOf(*replacement);
    if (kind == Kind::Unsupported) {
        return fail(fnd::format("Unable to serialize object class %@ that was returned by the unsupported class formatter.  Original object class was %@.",
            replacement->className(), original->className()));
    }
    return writeValue(replacement);
}

bool JKSerializer::openContainer(const fnd::Id& value, Kind kind)
{
    if (m_depth >= maximumDepth)
        return fail(fnd::format("Unable to serialize object nested deeper than %zu levels.", maximumDepth));
    if (m_depth == m_frames.size())
        m_frames.emplace_back();
    Frame& frame = m_frames[m_depth];
    // Only a formatter can change a container while it is written, or drop the last other reference
    // to it. Without one, a decoder container's members are read in place.
    bool mayChange = m_block || m_delegate;
    if (mayChange)
        frame.container = value;
    frame.next = 0;
    frame.isEmpty = true;
    frame.entries.clear();
    frame.isDictionary = kind == Kind::Dictionary;
    bool pretty = m_isPretty;

    if (kind == Kind::Array && !mayChange && JKIsExactly(*value, typeid(JKArray))) {
        frame.walk = Frame::Walk::Members;
        frame.members = static_cast<const JKArray&>(*value).objects();
        prefetchFirstMembers(frame.members.size(), [&](size_t index) -> const fnd::Id& { return frame.members[index]; });
    } else if (kind == Kind::Array) {
        frame.walk = Frame::Walk::Array;
        frame.array = static_cast<const fnd::Array*>(value.get());
    } else if (!pretty && !mayChange && JKIsExactly(*value, typeid(JKDictionary))) {
        frame.walk = Frame::Walk::DictionarySlots;
        auto& dictionary = static_cast<const JKDictionary&>(*value);
        frame.slots = dictionary.slotTable();
        prefetchFirstMembers(dictionary.count(), [&](size_t index) -> const fnd::Id& { return frame.slots.entries[index].object; });
    } else {
        frame.walk = Frame::Walk::Entries;
        auto& dictionary = static_cast<const fnd::Dictionary&>(*value);
        dictionary.forEachEntry([&](const fnd::Id& key, const fnd::Id& object, bool&) { frame.entries.emplace_back(key, object); });
        if (pretty) {
            // Every key must be a string before the keys can be sorted.
            for (auto& entry : frame.entries) {
                if (kindOf(*entry.first) != Kind::String)
                    return fail("Key must be a string object.");
            }
            std::sort(frame.entries.begin(), frame.entries.end(), keyLess);
        }
    }
    ++m_depth;
    writeStructure(frame.isDictionary ? '{' : '[');
    return true;
}

void JKSerializer::closeContainer()
{
    Frame& frame = m_frames[m_depth - 1];
    char bracket = frame.isDictionary ? '}' : ']';
    if (frame.container)
        frame.container.reset();
    if (!frame.entries.empty())
        frame.entries.clear();
    writeStructure(bracket);
    --m_depth;
}

void JKSerializer::writePrettyStructure(char character)
{
    switch (character) {
    case '[':
    case '{':
        m_output.append(character);
        writeIndentation();
        return;
    case ',':
        m_output.append(',');
        writeIndentation();
        return;
    case ':':
        m_output.append(": ");
        return;
    default:
        // The closing bracket's frame is still open, so its depth is one less.
        m_output.append('\n');
        m_output.appendRepeated(' ', 2 * (m_depth - 1));
        m_output.append(character);
        return;
    }
}

void JKSerializer::writeIndentation()
{
    m_output.append('\n');
    m_output.appendRepeated(' ', 2 * m_depth);
}

bool JKSerializer::writeString(std::string_view text, bool quoted)
{
    const auto& classes = (m_options & JKSerializeOptionEscapeForwardSlashes) ? byteClassesEscapingSlash : byteClassesKeepingSlash;
    bool escapeUnicode = m_options & JKSerializeOptionEscapeUnicode;
    auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const uint8_t* end = bytes + text.size();

    if (quoted)
        m_output.append('"');
    const uint8_t* cursor = bytes;
    while (cursor < end) {
        const uint8_t* run = cursor;
        cursor = skipPlainBytes(cursor, end, classes['/'] == Escaped);
        while (cursor < end && classes[*cursor] == Plain)
            ++cursor;
        m_output.append(std::string_view(reinterpret_cast<const char*>(run), static_cast<size_t>(cursor - run)));
        if (cursor >= end)
            break;
        if (classes[*cursor] == Escaped) {
            appendEscapedByte(m_output, *cursor++);
            continue;
        }
        if (!escapeUnicode) {
            if (size_t length = JKCommonUTF8SequenceLength(cursor, end)) {
                m_output.append(std::string_view(reinterpret_cast<const char*>(cursor), length));
                cursor += length;
                continue;
            }
        }
        auto sequence = ConvertSingleCodePointInUTF8(cursor, end, JKNoncharacters::Accept);
        if (sequence.result != JKUTF8Result::Ok)
            return fail(escapeUnicode ? "Error converting UTF8." : "An error occurred converting the contents of a NSString to UTF8.");
        if (!escapeUnicode) {
            m_output.append(std::string_view(reinterpret_cast<const char*>(cursor), sequence.length));
        } else if (sequence.codePoint < 0x10000) {
            appendUnicodeEscape(m_output, sequence.codePoint);
        } else {
            appendUnicodeEscape(m_output, (sequence.codePoint >> 10) + 0xD7C0);
            appendUnicodeEscape(m_output, (sequence.codePoint & 0x3FF) | 0xDC00);
        }
        cursor += sequence.length;
    }
    if (quoted)
        m_output.append('"');
    return true;
}

bool JKSerializer::writeNumber(const fnd::Number& number)
{
    if (&number == m_true) {
        m_output.append("true");
        return true;
    }
    if (&number == m_false) {
        m_output.append("false");
        return true;
    }
    switch (number.type()) {
    case fnd::Number::Type::Bool:
    case fnd::Number::Type::Int64:
        appendInteger(m_output, number.longLongValue());
        return true;
    case fnd::Number::Type::UInt64:
        appendInteger(m_output, number.unsignedLongLongValue());
        return true;
    case fnd::Number::Type::Decimal:
        // Exactly as written, not rounded to a double.
        m_output.append(number.stringValue());
        return true;
    case fnd::Number::Type::Double: {
        double value = number.doubleValue();
        if (!std::isfinite(value))
            return fail("Floating point values must be finite.  JSON does not support NaN or Infinity.");
        constexpr size_t longest = 32;
        m_output.commit(JKFormatDouble(value, m_output.reserveRoom(longest)));
        return true;
    }
    }
    return fail("NSNumber conversion error, unknown type.");
}
