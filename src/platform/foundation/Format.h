#pragma once

#include "platform/foundation/Object.h"

#include <array>
#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace fnd {

// One argument of a platform format string, captured with its type so that a mismatched
// conversion is converted rather than misread.
class FormatArgument {
public:
    FormatArgument() = default;
    FormatArgument(std::nullptr_t) { }
    FormatArgument(bool value) : m_value(int64_t(value)) { }
    FormatArgument(char value) : m_value(int64_t(value)) { }
    template<std::signed_integral T>
    FormatArgument(T value) : m_value(int64_t(value)) { }
    template<std::unsigned_integral T>
    FormatArgument(T value) : m_value(uint64_t(value)) { }
    template<std::floating_point T>
    FormatArgument(T value) : m_value(double(value)) { }
    FormatArgument(const char* text) : m_value(text ? Value(std::string_view(text)) : Value()) { }
    FormatArgument(std::string_view text) : m_value(text) { }
    FormatArgument(const std::string& text) : m_value(std::string_view(text)) { }
    FormatArgument(const void* pointer) : m_value(pointer) { }
    template<typename T>
        requires std::derived_from<T, Object>
    FormatArgument(const std::shared_ptr<T>& object) : m_value(std::static_pointer_cast<Object>(object).get())
    {
        if (!object)
            m_value = Value();
    }
    template<typename T>
        requires std::derived_from<T, Object>
    FormatArgument(const T& object) : m_value(static_cast<const Object*>(&object)) { }

    // Strings are viewed, not copied: arguments live only for the format call.
    using Value = std::variant<std::monostate, int64_t, uint64_t, double, std::string_view, const void*, const Object*>;
    const Value& value() const { return m_value; }

private:
    Value m_value;
};

// Formats like the platform: "%@", "%d", "%i", "%u", "%ld", "%lld", "%qu", "%f", "%.2f", "%03d", "%02x",
// "%s", "%c", "%p", "%%" and positional "%1$@". Numbers never depend on the process locale. A missing
// argument reads as nil ("(null)", or 0 for numbers); an unknown conversion is copied as written.
std::string formatWithArguments(std::string_view format, std::span<const FormatArgument> arguments);

template<typename... Arguments>
std::string format(std::string_view formatText, const Arguments&... arguments)
{
    if constexpr (sizeof...(Arguments) == 0) {
        return formatWithArguments(formatText, {});
    } else {
        const std::array<FormatArgument, sizeof...(Arguments)> captured { FormatArgument(arguments)... };
        return formatWithArguments(formatText, captured);
    }
}

}
