#pragma once

#include "platform/foundation/Object.h"

#include <bit>
#include <cstdint>

namespace fnd {

// A boxed scalar. Booleans are two shared instances, told apart from the integers 0 and 1 by their type.
class Number : public Object {
public:
    enum class Type : uint8_t {
        Bool,
        Int64,
        UInt64,
        Double,
        Decimal,
    };

    // One machine word: the signed, unsigned or double value, as the type says.
    class Scalar {
    public:
        static constexpr Scalar ofSigned(int64_t value) { return Scalar(std::bit_cast<uint64_t>(value)); }
        static constexpr Scalar ofUnsigned(uint64_t value) { return Scalar(value); }
        static constexpr Scalar ofDouble(double value) { return Scalar(std::bit_cast<uint64_t>(value)); }

        constexpr int64_t signedValue() const { return std::bit_cast<int64_t>(m_bits); }
        constexpr uint64_t unsignedValue() const { return m_bits; }
        constexpr double doubleValue() const { return std::bit_cast<double>(m_bits); }

    private:
        explicit constexpr Scalar(uint64_t bits) : m_bits(bits) { }
        uint64_t m_bits;
    };

    static Ref<Number> withInteger(int64_t);
    static Ref<Number> withUnsigned(uint64_t);
    static Ref<Number> withDouble(double);
    static const Ref<Number>& withBool(bool);
    static const Ref<Number>& yes();
    static const Ref<Number>& no();

    Type type() const { return m_type; }
    // The value as stored, read without a virtual call; subclasses may compute theirs differently.
    Scalar scalar() const { return m_value; }
    bool isBoolean() const { return m_type == Type::Bool; }
    bool isInteger() const { return m_type == Type::Bool || m_type == Type::Int64 || m_type == Type::UInt64; }
    // The platform's type code: 'c' for booleans, 'q', 'Q', 'd'.
    char objCType() const;

    virtual int64_t longLongValue() const;
    virtual uint64_t unsignedLongLongValue() const;
    virtual double doubleValue() const;
    int32_t intValue() const;
    int64_t integerValue() const { return longLongValue(); }
    bool boolValue() const;
    // "1", "-5", "0.1", "1e+100"; booleans as "1" and "0".
    virtual std::string stringValue() const;

    std::string_view className() const override { return "Number"; }
    size_t hash() const override;
    bool isEqual(const Object&) const override;
    std::string description() const override { return stringValue(); }

    // Public so that make_shared can build instances; use the factories.
    Number(Type type, Scalar value) : m_type(type), m_value(value) { }

protected:
    Type m_type;
    Scalar m_value;
};

// Locale-independent shortest round-trip text of a double ("0.1", "1e+100", "-0", "nan", "inf").
std::string formatDouble(double);

}
