#include "platform/foundation/PropertyList.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DecimalNumber.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"

#include <plist/plist.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace fnd {

namespace {

// Property-list dates count from 2001-01-01 00:00:00 UTC.
constexpr double referenceDateSince1970 = 978307200.0;
// Deeper nesting is refused rather than risking the stack (and cycles in mutable containers).
constexpr unsigned maximumDepth = 512;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPointer = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

Ref<Error> makeError(int64_t code, std::string description)
{
    return Error::withDescription(std::string(PropertyList::errorDomain), code, std::move(description));
}

// The library takes strings and keys as C strings, so a U+0000 would silently cut them short.
bool isStorableText(std::string_view text)
{
    return text.find('\0') == std::string_view::npos;
}

std::string validUTF8(std::string_view text)
{
    return unicode::isValidUTF8(text) ? std::string(text) : unicode::sanitizedUTF8(text);
}

class Reader {
public:
    Id convert(plist_t node, unsigned depth)
    {
        if (!node)
            return fail("The data couldn\u2019t be read because it is missing a value.");
        if (depth > maximumDepth)
            return fail("The data couldn\u2019t be read because it is nested too deeply.");
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return Number::withBool(value != 0);
        }
        case PLIST_UINT:
            return convertInteger(node);
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return Number::withDouble(value);
        }
        case PLIST_STRING: {
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            std::string_view view(text ? text : "", text ? size_t(length) : 0);
            return String::create(validUTF8(view));
        }
        case PLIST_DATA: {
            uint64_t length = 0;
            const char* bytes = plist_get_data_ptr(node, &length);
            return Data::create(std::string_view(bytes ? bytes : "", bytes ? size_t(length) : 0));
        }
        case PLIST_DATE: {
            int32_t seconds = 0;
            int32_t microseconds = 0;
            plist_get_date_val(node, &seconds, &microseconds);
            return Date::withTimeIntervalSince1970(referenceDateSince1970 + seconds + microseconds / 1e6);
        }
        case PLIST_ARRAY:
            return convertArray(node, depth);
        case PLIST_DICT:
            return convertDictionary(node, depth);
        default:
            return fail("The data couldn\u2019t be read because it holds a value of an unsupported kind.");
        }
    }

    Ref<Error> error;

private:
    Id fail(std::string description)
    {
        if (!error)
            error = makeError(PropertyList::readCorruptError, std::move(description));
        return nullptr;
    }

    static Id convertInteger(plist_t node)
    {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        if (value <= uint64_t(INT64_MAX))
            return Number::withInteger(int64_t(value));
        // The library keeps negative numbers and large unsigned ones in the same 64 bits and tells
        // them apart only in its own output.
        char* xml = nullptr;
        uint32_t length = 0;
        plist_to_xml(node, &xml, &length);
        std::string_view text(xml ? xml : "", xml ? length : 0);
        bool negative = text.find("<integer>-") != std::string_view::npos;
        if (xml)
            plist_to_xml_free(xml);
        if (negative)
            return Number::withInteger(int64_t(value));
        return Number::withUnsigned(value);
    }

    Id convertArray(plist_t node, unsigned depth)
    {
        uint32_t count = plist_array_get_size(node);
        std::vector<Id> objects;
        objects.reserve(count);
        for (uint32_t index = 0; index < count; ++index) {
            Id object = convert(plist_array_get_item(node, index), depth + 1);
            if (!object)
                return nullptr;
            objects.push_back(std::move(object));
        }
        return Array::create(std::move(objects));
    }

    Id convertDictionary(plist_t node, unsigned depth)
    {
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        std::unique_ptr<void, MallocDeleter> iteratorOwner(iterator);
        auto dictionary = MutableDictionary::create(plist_dict_get_size(node));
        for (uint32_t index = 0, count = plist_dict_get_size(node); index < count; ++index) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iterator, &key, &value);
            std::unique_ptr<char, MallocDeleter> keyOwner(key);
            if (!key)
                return fail("The data couldn\u2019t be read because a dictionary key is missing.");
            Id object = convert(value, depth + 1);
            if (!object)
                return nullptr;
            dictionary->setObjectForKey(std::move(object), validUTF8(key));
        }
        return dictionary->immutableCopy();
    }
};

class Writer {
public:
    plist_t convert(const Id& object, unsigned depth)
    {
        if (depth > maximumDepth)
            return fail("nested too deeply (or a container holds itself)");
        if (!object)
            return fail("nil");
        if (auto string = as<String>(object)) {
            if (!isStorableText(string->utf8()))
                return fail("a string holding U+0000");
            return plist_new_string(string->utf8().c_str());
        }
        if (auto number = as<Number>(object))
            return convertNumber(*number);
        if (auto data = as<Data>(object))
            return plist_new_data(reinterpret_cast<const char*>(data->bytes()), data->length());
        if (auto date = as<Date>(object))
            return convertDate(*date);
        if (auto array = as<Array>(object))
            return convertArray(*array, depth);
        if (auto dictionary = as<Dictionary>(object))
            return convertDictionary(*dictionary, depth);
        return fail(format("a value of class %s", object->className()));
    }

    Ref<Error> error;

private:
    plist_t fail(const std::string& what)
    {
        if (!error)
            error = makeError(PropertyList::writeInvalidError, format("Property list invalid for format: %s cannot be stored.", what));
        return nullptr;
    }

    plist_t convertNumber(const Number& number)
    {
        switch (number.type()) {
        case Number::Type::Bool:
            return plist_new_bool(number.boolValue());
        case Number::Type::Int64:
            return plist_new_uint(uint64_t(number.longLongValue()));
        case Number::Type::UInt64:
            // The library would write such a value as a negative number.
            if (number.unsignedLongLongValue() > uint64_t(INT64_MAX))
                return fail(format("the unsigned integer %@", number));
            return plist_new_uint(number.unsignedLongLongValue());
        case Number::Type::Double:
            return plist_new_real(number.doubleValue());
        case Number::Type::Decimal: {
            auto* decimal = dynamic_cast<const DecimalNumber*>(&number);
            bool integral = decimal && decimal->exponent() >= 0 && decimal->digits().size() + size_t(decimal->exponent()) <= 18;
            if (integral)
                return plist_new_uint(uint64_t(number.longLongValue()));
            return plist_new_real(number.doubleValue());
        }
        }
        return fail("a number of unknown kind");
    }

    plist_t convertDate(const Date& date)
    {
        double sinceReference = date.timeIntervalSince1970() - referenceDateSince1970;
        double seconds = std::floor(sinceReference);
        if (!std::isfinite(sinceReference) || seconds < INT32_MIN || seconds > INT32_MAX)
            return fail(format("the date %@", date));
        auto microseconds = int32_t(std::lround((sinceReference - seconds) * 1e6));
        if (microseconds >= 1000000) {
            seconds += 1;
            microseconds -= 1000000;
        }
        return plist_new_date(int32_t(seconds), microseconds);
    }

    plist_t convertArray(const Array& array, unsigned depth)
    {
        PlistPointer node(plist_new_array());
        for (size_t index = 0; index < array.count(); ++index) {
            plist_t item = convert(array.objectAtIndex(index), depth + 1);
            if (!item)
                return nullptr;
            plist_array_append_item(node.get(), item);
        }
        return node.release();
    }

    plist_t convertDictionary(const Dictionary& dictionary, unsigned depth)
    {
        std::vector<std::pair<std::string, Id>> entries;
        entries.reserve(dictionary.count());
        bool keysAreStrings = true;
        dictionary.forEachEntry([&](const Id& key, const Id& value, bool& stop) {
            auto text = as<String>(key);
            if (!text) {
                keysAreStrings = false;
                stop = true;
                return;
            }
            entries.emplace_back(text->utf8(), value);
        });
        if (!keysAreStrings)
            return fail("a dictionary key that is not a string");
        for (auto& entry : entries) {
            if (!isStorableText(entry.first))
                return fail("a dictionary key holding U+0000");
        }
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        PlistPointer node(plist_new_dict());
        for (auto& [key, value] : entries) {
            plist_t item = convert(value, depth + 1);
            if (!item)
                return nullptr;
            plist_dict_set_item(node.get(), key.c_str(), item);
        }
        return node.release();
    }
};

Id deepCopy(const Id& object, unsigned depth, bool& valid)
{
    if (!object || depth > maximumDepth) {
        valid = false;
        return nullptr;
    }
    if (auto string = as<String>(object)) {
        if (!isStorableText(string->utf8())) {
            valid = false;
            return nullptr;
        }
        return copyOf(object);
    }
    if (is<Data>(object))
        return copyOf(object);
    if (auto number = as<Number>(object)) {
        // Written as a negative number by the library; refused up front.
        if (number->type() == Number::Type::UInt64 && number->unsignedLongLongValue() > uint64_t(INT64_MAX))
            valid = false;
        return valid ? object : nullptr;
    }
    if (is<Date>(object))
        return object;
    if (auto array = as<Array>(object)) {
        std::vector<Id> objects;
        objects.reserve(array->count());
        for (const Id& element : *array) {
            objects.push_back(deepCopy(element, depth + 1, valid));
            if (!valid)
                return nullptr;
        }
        return Array::create(std::move(objects));
    }
    if (auto dictionary = as<Dictionary>(object)) {
        std::vector<DictionaryEntry> entries;
        entries.reserve(dictionary->count());
        dictionary->forEachEntry([&](const Id& key, const Id& value, bool& stop) {
            auto text = as<String>(key);
            Id copy = text && isStorableText(text->utf8()) ? deepCopy(value, depth + 1, valid) : nullptr;
            if (!copy) {
                valid = false;
                stop = true;
                return;
            }
            entries.emplace_back(copyOf(key), std::move(copy));
        });
        if (!valid)
            return nullptr;
        return Dictionary::create(std::move(entries));
    }
    valid = false;
    return nullptr;
}

}

Id PropertyList::read(std::span<const uint8_t> bytes, Ref<Error>* error)
{
    auto refuse = [&](std::string description) -> Id {
        if (error)
            *error = makeError(readCorruptError, std::move(description));
        return nullptr;
    };
    if (bytes.empty())
        return refuse("The data couldn\u2019t be read because it is empty.");
    if (bytes.size() > UINT32_MAX)
        return refuse("The data couldn\u2019t be read because it is too large.");
    plist_t root = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(bytes.data()), uint32_t(bytes.size()), &root);
    PlistPointer owner(root);
    if (!root)
        return refuse("The data couldn\u2019t be read because it isn\u2019t in the correct format.");
    Reader reader;
    Id result = reader.convert(root, 0);
    if (!result && error)
        *error = reader.error;
    return result;
}

Id PropertyList::readFile(const std::filesystem::path& path, Ref<Error>* error)
{
    auto data = FileManager::contentsOfFile(path, error);
    if (!data)
        return nullptr;
    return read(data->span(), error);
}

std::optional<std::string> PropertyList::write(const Id& object, Format format, Ref<Error>* error)
{
    Writer writer;
    PlistPointer root(writer.convert(object, 0));
    if (!root) {
        if (error)
            *error = writer.error;
        return std::nullopt;
    }
    char* bytes = nullptr;
    uint32_t length = 0;
    if (format == Format::XML) {
        plist_to_xml(root.get(), &bytes, &length);
        std::string text(bytes ? bytes : "", bytes ? length : 0);
        if (bytes)
            plist_to_xml_free(bytes);
        return text;
    }
    plist_to_bin(root.get(), &bytes, &length);
    std::string binary(bytes ? bytes : "", bytes ? length : 0);
    if (bytes)
        plist_to_bin_free(bytes);
    return binary;
}

bool PropertyList::writeFile(const Id& object, const std::filesystem::path& path, Ref<Error>* error)
{
    auto text = write(object, Format::XML, error);
    if (!text)
        return false;
    return FileManager::writeAtomically(path, std::string_view(*text), error);
}

bool PropertyList::isValid(const Id& object)
{
    bool valid = true;
    deepCopy(object, 0, valid);
    return valid;
}

Id PropertyList::immutableDeepCopy(const Id& object, Ref<Error>* error)
{
    bool valid = true;
    Id copy = deepCopy(object, 0, valid);
    if (!valid) {
        if (error)
            *error = makeError(writeInvalidError, format("Property list invalid for format: %s cannot be stored.", object ? object->className() : std::string_view("nil")));
        return nullptr;
    }
    return copy;
}

}
