#pragma once

#include "platform/foundation/Object.h"

#include <bit>
#include <cstdint>
#include <new>

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

    // Each type is a class of its own, so that a number is only a table pointer and its value.
    virtual Type type() const = 0;
    // The value as stored, read without a virtual call; subclasses may compute theirs differently.
    Scalar scalar() const { return m_value; }
    bool isBoolean() const { return type() == Type::Bool; }
    bool isInteger() const { return isIntegerType(type()); }
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

    // Builds a number of any type but Decimal in `storage` (sizeof(Number) bytes, aligned for a
    // Number), for owners that keep many numbers in one block. Numbers own nothing, so the storage
    // may simply be given up later.
    static Number* constructAt(void* storage, Type, Scalar);

protected:
    explicit Number(Scalar value) : m_value(value) { }
    static bool isIntegerType(Type type) { return type == Type::Bool || type == Type::Int64 || type == Type::UInt64; }

    Scalar m_value;
};

// The numbers of one type: all of a number but its type is in Number.
template<Number::Type numberType>
class TypedNumber final : public Number {
public:
    explicit TypedNumber(Scalar value) : Number(value) { }
    Type type() const override { return numberType; }
};

static_assert(sizeof(TypedNumber<Number::Type::Double>) == sizeof(Number));

// Inline: callers that keep numbers in blocks of their own make them by the thousand, mostly with
// the type known where they call.
inline Number* Number::constructAt(void* storage, Type type, Scalar value)
{
    switch (type) {
    case Type::Bool:
        return new (storage) TypedNumber<Type::Bool>(value);
    case Type::Int64:
        return new (storage) TypedNumber<Type::Int64>(value);
    case Type::UInt64:
        return new (storage) TypedNumber<Type::UInt64>(value);
    case Type::Double:
    case Type::Decimal:
        break;
    }
    return new (storage) TypedNumber<Type::Double>(value);
}

// Locale-independent shortest round-trip text of a double ("0.1", "1e+100", "-0", "nan", "inf").
std::string formatDouble(double);

}
