#pragma once

#include "json/fast/JKDictionary.h"
#include "json/fast/JKOutputBuffer.h"
#include "platform/foundation/Error.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

namespace fnd {
class Array;
class Dictionary;
class Number;
class String;
}

using JKSerializeOptionFlags = unsigned;

enum : JKSerializeOptionFlags {
    JKSerializeOptionNone = 0,
    // Line breaks, two blanks of indentation a level, and dictionary keys in sorted order.
    JKSerializeOptionPretty = 1 << 0,
    // Every non-ASCII character as a \u escape (a surrogate pair above U+FFFF).
    JKSerializeOptionEscapeUnicode = 1 << 1,
    // "/" as "\/".
    JKSerializeOptionEscapeForwardSlashes = 1 << 4,
};

using JKEncodeOptionType = unsigned;

enum : JKEncodeOptionType {
    JKEncodeOptionAsData = 1,
    JKEncodeOptionAsString = 2,
    JKEncodeOptionAsTypeMask = 0x7,
    // The top-level object must be an array or a dictionary.
    JKEncodeOptionCollectionObj = 1 << 3,
    // The top-level object must be a string.
    JKEncodeOptionStringObj = 1 << 4,
    // A top-level string is written without its surrounding double quotes.
    JKEncodeOptionStringObjTrimQuotes = 1 << 5,
};

// Gets an object of a class the encoder cannot write and answers a replacement, or nothing.
using JKUnsupportedClassFormatter = std::function<fnd::Id(const fnd::Id&)>;

// The delegate form of the formatter: an object that performs the operation named by a selector
// with one object argument.
class JKSerializerDelegate {
public:
    virtual ~JKSerializerDelegate() = default;
    virtual bool respondsToSelector(std::string_view selector) const = 0;
    virtual fnd::Id performSelectorWithObject(std::string_view selector, const fnd::Id& object) = 0;
};

// The fast JSON encoder: arrays, dictionaries with string keys, strings, numbers, booleans and nulls
// become compact or pretty-printed JSON text. Nesting is followed with an explicit stack and refused
// past `maximumDepth` levels (which also stops a container that contains itself).
class JKSerializer {
public:
    static constexpr size_t maximumDepth = 65536;

    // Answers fnd::Data (JKEncodeOptionAsData) or fnd::String (JKEncodeOptionAsString) with the
    // UTF-8 text, or nothing after a failure, whose error (domain "JKErrorDomain", code -1) goes to
    // `error` when given. Giving both a block and a delegate is a programming error; a delegate
    // without a selector, or one that does not respond to it, throws an "NSInvalidArgumentException".
    static fnd::Id serializeObjectOptionsEncodeOptionBlockDelegateSelectorError(const fnd::Id& object,
        JKSerializeOptionFlags, JKEncodeOptionType, const JKUnsupportedClassFormatter& block,
        JKSerializerDelegate* delegate, const char* selector, fnd::Ref<fnd::Error>* error);

private:
    enum class Kind {
        String,
        Number,
        Dictionary,
        Array,
        Null,
        Unsupported,
    };

    struct Frame {
        fnd::Id container;
        enum class Walk {
            // Any array, through its interface.
            Array,
            // A decoder array's objects, in place.
            Members,
            // A decoder dictionary's table, in place.
            DictionarySlots,
            // A copy of any dictionary's entries.
            Entries,
        } walk;
        const fnd::Array* array = nullptr;
        std::span<const fnd::Id> members;
        JKDictionary::SlotTable slots;
        std::vector<std::pair<fnd::Id, fnd::Id>> entries;
        size_t next = 0;
        bool isDictionary = false;
        bool isEmpty = true;
    };

    JKSerializer(JKSerializeOptionFlags, JKEncodeOptionType, const JKUnsupportedClassFormatter*, JKSerializerDelegate*, std::string_view selector);

    fnd::Id serialize(const fnd::Id& object);
    bool checkTopLevel(const fnd::Object&);
    bool writeDocument(const fnd::Id&);
    bool writeValue(const fnd::Id&);
    bool writeNextMember(Frame&);
    bool writeReplacement(const fnd::Id& original);
    bool openContainer(const fnd::Id&, Kind);
    void closeContainer();
    bool writeString(std::string_view, bool quoted);
    bool writeNumber(const fnd::Number&);
    void writeStructure(char character)
    {
        if (m_isPretty)
            writePrettyStructure(character);
        else
            m_output.append(character);
    }
    void writePrettyStructure(char);
    void writeIndentation();
    Kind kindOf(const fnd::Object&);
    bool fail(std::string message);

    JKSerializeOptionFlags m_options;
    JKEncodeOptionType m_encodeOption;
    const JKUnsupportedClassFormatter* m_block;
    JKSerializerDelegate* m_delegate;
    std::string m_selector;
    bool m_isPretty;
    const fnd::Number* m_true;
    const fnd::Number* m_false;
    const fnd::Object* m_null;

    // The text written for a string or number, found again by the object's address, so that shared
    // values (which the decoder's cache makes common) are copied rather than converted again. Valid
    // while the objects being written stay alive, so a formatter call, which may change anything,
    // empties it.
    struct WrittenText {
        const fnd::Object* object = nullptr;
        uint32_t offset = 0;
        uint32_t length : 31 = 0;
        uint32_t isString : 1 = 0;
    };
    static constexpr size_t writtenTextSlotCount = 1024;
    static size_t writtenTextSlot(const fnd::Object&);
    bool writeKnownText(const fnd::Object&, bool mustBeString);
    void rememberText(const fnd::Object&, size_t offset, bool isString);

    JKOutputBuffer m_output;
    std::array<WrittenText, writtenTextSlotCount> m_writtenText {};
    bool m_hasWrittenText { false };
    std::optional<std::string> m_error;
    // Open containers; frames past `m_depth` are kept for their storage.
    std::vector<Frame> m_frames;
    size_t m_depth { 0 };
    // Classes seen lately and their kinds, so that most values are classified by a few comparisons.
    // Eight hold a document's usual classes: strings, arrays, dictionaries, null and four of numbers.
    struct SeenClass {
        const std::type_info* type;
        Kind kind;
    };
    std::array<SeenClass, 8> m_seenClasses {};
    size_t m_nextSeenClass { 0 };
};
