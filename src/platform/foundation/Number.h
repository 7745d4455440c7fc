#pragma once

#include "platform/foundation/Object.h"

#include <cstdint>

namespace fnd {

// A boxed scalar. Booleans are two shared instances, told apart from the integers 0 and 1 by their type.
class Number : public Object {
public:
    enum class Type {
        Bool,
        Int64,
        UInt64,
        Double,
        Decimal,
    };

    static Ref<Number> withInteger(int64_t);
    static Ref<Number> withUnsigned(uint64_t);
    static Ref<Number> withDouble(double);
    static const Ref<Number>& withBool(bool);
    static const Ref<Number>& yes();
    static const Ref<Number>& no();

    Type type() const { return m_type; }
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

    struct Scalar {
        int64_t signedValue = 0;
        uint64_t unsignedValue = 0;
        double doubleValue = 0;
    };

    // Public so that make_shared can build instances; use the factories.
    Number(Type, Scalar);

protected:
    Type m_type;
    Scalar m_value;
};

// Locale-independent shortest round-trip text of a double ("0.1", "1e+100", "-0", "nan", "inf").
std::string formatDouble(double);

}
