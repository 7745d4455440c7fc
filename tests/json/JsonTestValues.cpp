#include "JsonTestValues.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/DecimalNumber.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

namespace brenzo::testing {

namespace {

std::string quoted(std::string_view text)
{
    std::string result = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20)
            result += fnd::format("\\x%02x", byte);
        else if (c == '"' || c == '\\')
            result += std::string("\\") + c;
        else
            result += c;
    }
    return result + "\"";
}

}

std::string typedText(const fnd::Id& value)
{
    if (!value)
        return "nil";
    std::string prefix = value->isMutable() ? "" : "const";
    if (auto dictionary = fnd::as<fnd::Dictionary>(value)) {
        std::string text = prefix + "{";
        bool first = true;
        dictionary->forEachEntry([&](const fnd::Id& key, const fnd::Id& object, bool&) {
            text += first ? "" : ",";
            first = false;
            auto keyString = fnd::as<fnd::String>(key);
            text += (keyString ? quoted(keyString->view()) : typedText(key)) + ":" + typedText(object);
        });
        return text + "}";
    }
    if (auto array = fnd::as<fnd::Array>(value)) {
        std::string text = prefix + "[";
        for (size_t index = 0; index < array->count(); ++index) {
            text += index ? "," : "";
            text += typedText(array->objectAtIndex(index));
        }
        return text + "]";
    }
    if (auto string = fnd::as<fnd::String>(value))
        return prefix + quoted(string->view());
    if (auto decimal = fnd::as<fnd::DecimalNumber>(value))
        return decimal->stringValue();
    if (auto number = fnd::as<fnd::Number>(value)) {
        if (number->isBoolean())
            return number->boolValue() ? "true" : "false";
        return "num(" + number->stringValue() + ")";
    }
    if (fnd::is<fnd::Null>(value))
        return "null";
    std::string unknown = "<";
    unknown += value->className();
    return unknown + ">";
}

bool sameValue(const fnd::Id& a, const fnd::Id& b)
{
    if (!a || !b)
        return !a && !b;
    if (auto dictionary = fnd::as<fnd::Dictionary>(a)) {
        auto other = fnd::as<fnd::Dictionary>(b);
        if (!other || other->count() != dictionary->count())
            return false;
        bool same = true;
        dictionary->forEachEntry([&](const fnd::Id& key, const fnd::Id& object, bool& stop) {
            same = sameValue(object, other->objectForKey(*key));
            stop = !same;
        });
        return same;
    }
    if (auto array = fnd::as<fnd::Array>(a)) {
        auto other = fnd::as<fnd::Array>(b);
        if (!other || other->count() != array->count())
            return false;
        for (size_t index = 0; index < array->count(); ++index) {
            if (!sameValue(array->objectAtIndex(index), other->objectAtIndex(index)))
                return false;
        }
        return true;
    }
    if (auto string = fnd::as<fnd::String>(a)) {
        auto other = fnd::as<fnd::String>(b);
        return other && other->view() == string->view();
    }
    if (auto decimal = fnd::as<fnd::DecimalNumber>(a)) {
        auto other = fnd::as<fnd::DecimalNumber>(b);
        return other && other->stringValue() == decimal->stringValue();
    }
    if (auto number = fnd::as<fnd::Number>(a)) {
        auto other = fnd::as<fnd::Number>(b);
        return other && other->isBoolean() == number->isBoolean() && other->isEqual(*number);
    }
    return a->isEqual(*b);
}

std::string nestedArrays(size_t depth)
{
    return std::string(depth, '[') + std::string(depth, ']');
}

}
