#include "json/JsonWriter.h"

#include "json/JsonProxy.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/MutableString.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Unicode.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr size_t initialCapacity = 128;

bool isContainer(const fnd::Id& value)
{
    return fnd::is<fnd::Dictionary>(value) || fnd::is<fnd::Array>(value);
}

bool isProxy(const fnd::Id& value)
{
    return dynamic_cast<const JsonProxy*>(value.get()) != nullptr;
}

// The characters written escaped: the quote, the backslash and U+0000 to U+001F.
bool needsEscape(unsigned char byte)
{
    return byte < 0x20 || byte == '"' || byte == '\\';
}

void appendEscaped(std::string& out, unsigned char byte)
{
    switch (byte) {
    case '"':
        out += "\\\"";
        break;
    case '\\':
        out += "\\\\";
        break;
    case '\b':
        out += "\\b";
        break;
    case '\f':
        out += "\\f";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    case '\t':
        out += "\\t";
        break;
    default:
        out += fnd::format("\\u%04x", byte);
        break;
    }
}

// Keys sort the way the platform compares texts: by UTF-16 code units.
void sortByKey(std::vector<fnd::DictionaryEntry>& entries)
{
    // A dictionary's keys are distinct, so no two entries tie.
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return fnd::unicode::lessInUTF16Order(fnd::as<fnd::String>(a.first)->view(), fnd::as<fnd::String>(b.first)->view());
    });
}
}

JsonWriter::JsonWriter() = default;

fnd::Ref<fnd::String> JsonWriter::stringWithObject(const fnd::Id& value)
{
    if (isContainer(value))
        return stringWithFragment(value);
    if (isProxy(value)) {
        clearErrorTrace();
        fnd::Id standIn;
        if (!resolveProxies(value, standIn)) {
            // Keep "Nested too deep" beneath the error below: it says why.
            addErrorWithCodeDescription(JsonErrorCode::NotContainer, "Not valid type for JSON");
            return nullptr;
        }
        if (isContainer(standIn)) {
            if (auto text = stringWithFragment(standIn))
                return text;
        }
    }
    clearErrorTrace();
    addErrorWithCodeDescription(JsonErrorCode::NotContainer, "Not valid type for JSON");
    return nullptr;
}

fnd::Ref<fnd::String> JsonWriter::stringWithFragment(const fnd::Id& value)
{
    clearErrorTrace();
    resetDepth();
    std::string text;
    text.reserve(initialCapacity);
    if (!appendValueInto(value, text))
        return nullptr;
    return std::make_shared<fnd::MutableString>(std::move(text));
}

bool JsonWriter::appendValueInto(const fnd::Id& value, std::string& out)
{
    const fnd::Object* object = value.get();
    if (auto* dictionary = dynamic_cast<const fnd::Dictionary*>(object))
        return appendDictionaryInto(*dictionary, out);
    if (auto* array = dynamic_cast<const fnd::Array*>(object))
        return appendArrayInto(*array, out);
    if (auto* string = dynamic_cast<const fnd::String*>(object))
        return appendStringInto(*string, out);
    if (auto* number = dynamic_cast<const fnd::Number*>(object))
        return appendNumberInto(*number, out);
    if (dynamic_cast<const fnd::Null*>(object)) {
        out += "null";
        return true;
    }
    if (isProxy(value)) {
        fnd::Id standIn;
        if (!resolveProxies(value, standIn))
            return false;
        return appendValueInto(standIn, out);
    }
    addErrorWithCodeDescription(JsonErrorCode::UnsupportedType,
        fnd::format("JSON serialisation not supported for %@", object ? object->className() : "(null)"));
    return false;
}

bool JsonWriter::appendArrayInto(const fnd::Array& array, std::string& out)
{
    if (!enterContainer())
        return false;
    bool readable = humanReadable();
    out += '[';
    size_t count = array.count();
    for (size_t index = 0; index < count; ++index) {
        if (index)
            out += ',';
        if (readable)
            indent(out);
        if (!appendValueInto(array.objectAtIndex(index), out))
            return false;
    }
    leaveContainer();
    if (readable && count)
        indent(out);
    out += ']';
    return true;
}

bool JsonWriter::appendDictionaryInto(const fnd::Dictionary& dictionary, std::string& out)
{
    if (!enterContainer())
        return false;
    std::vector<fnd::DictionaryEntry> entries = dictionary.entries();
    if (sortKeys()) {
        // Keys that are not texts cannot be ordered, so they are refused before sorting.
        bool allStrings = std::all_of(entries.begin(), entries.end(), [](const auto& entry) { return fnd::is<fnd::String>(entry.first); });
        if (!allStrings) {
            addErrorWithCodeDescription(JsonErrorCode::UnsupportedType, "JSON object key must be string");
            return false;
        }
        sortByKey(entries);
    }

    bool readable = humanReadable();
    out += '{';
    for (size_t index = 0; index < entries.size(); ++index) {
        const auto& [key, value] = entries[index];
        if (index)
            out += ',';
        if (readable)
            indent(out);
        auto* keyString = dynamic_cast<const fnd::String*>(key.get());
        if (!keyString) {
            addErrorWithCodeDescription(JsonErrorCode::UnsupportedType, "JSON object key must be string");
            return false;
        }
        if (!appendStringInto(*keyString, out))
            return false;
        out += readable ? " : " : ":";
        if (!appendValueInto(value, out)) {
            addErrorWithCodeDescription(JsonErrorCode::UnsupportedType, fnd::format("Unsupported value for key %@ in object", key));
            return false;
        }
    }
    leaveContainer();
    if (readable && !entries.empty())
        indent(out);
    out += '}';
    return true;
}

bool JsonWriter::appendStringInto(const fnd::String& string, std::string& out)
{
    std::string_view text = string.view();
    // Only well-formed text makes valid JSON; a lossy repair would change the caller's data.
    if (!fnd::unicode::isValidUTF8(text)) {
        addErrorWithCodeDescription(JsonErrorCode::UnsupportedType, "Invalid UTF-8 in string");
        return false;
    }
    out += '"';
    size_t runStart = 0;
    for (size_t index = 0; index < text.size(); ++index) {
        auto byte = static_cast<unsigned char>(text[index]);
        if (!needsEscape(byte))
            continue;
        out.append(text, runStart, index - runStart);
        appendEscaped(out, byte);
        runStart = index + 1;
    }
    out.append(text, runStart);
    out += '"';
    return true;
}

bool JsonWriter::appendNumberInto(const fnd::Number& number, std::string& out)
{
    if (number.objCType() == 'c') {
        out += number.boolValue() ? "true" : "false";
        return true;
    }
    if (number.type() == fnd::Number::Type::Double && !std::isfinite(number.doubleValue())) {
        double value = number.doubleValue();
        const char* name = std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");
        addErrorWithCodeDescription(JsonErrorCode::UnsupportedType, fnd::format("JSON serialisation not supported for %@", name));
        return false;
    }
    out += number.stringValue();
    return true;
}

void JsonWriter::indent(std::string& out) const
{
    out += '\n';
    out.append(2 * static_cast<size_t>(depth()), ' ');
}

bool JsonWriter::resolveProxies(const fnd::Id& value, fnd::Id& standIn)
{
    fnd::Id current = value;
    uint32_t steps = 0;
    while (auto* proxy = dynamic_cast<const JsonProxy*>(current.get())) {
        if (steps++ == nestingCeiling) {
            addErrorWithCodeDescription(JsonErrorCode::NestedTooDeep, "Nested too deep");
            return false;
        }
        current = proxy->proxyForJson();
    }
    standIn = std::move(current);
    return true;
}
