#include "platform/foundation/Number.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

namespace fnd {

Ref<Number> Number::withInteger(int64_t value)
{
    return std::make_shared<TypedNumber<Type::Int64>>(Scalar::ofSigned(value));
}

Ref<Number> Number::withUnsigned(uint64_t value)
{
    return std::make_shared<TypedNumber<Type::UInt64>>(Scalar::ofUnsigned(value));
}

Ref<Number> Number::withDouble(double value)
{
    return std::make_shared<TypedNumber<Type::Double>>(Scalar::ofDouble(value));
}

const Ref<Number>& Number::yes()
{
    static const Ref<Number> instance = std::make_shared<TypedNumber<Type::Bool>>(Scalar::ofSigned(1));
    return instance;
}

const Ref<Number>& Number::no()
{
    static const Ref<Number> instance = std::make_shared<TypedNumber<Type::Bool>>(Scalar::ofSigned(0));
    return instance;
}

const Ref<Number>& Number::withBool(bool value)
{
    return value ? yes() : no();
}

char Number::objCType() const
{
    switch (type()) {
    case Type::Bool:
        return 'c';
    case Type::Int64:
        return 'q';
    case Type::UInt64:
        return 'Q';
    case Type::Double:
    case Type::Decimal:
        return 'd';
    }
    return 'q';
}

namespace {

template<typename Integer>
Integer saturatedFromDouble(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<Integer>::max()))
        return std::numeric_limits<Integer>::max();
    if (value <= static_cast<double>(std::numeric_limits<Integer>::min()))
        return std::numeric_limits<Integer>::min();
    return static_cast<Integer>(value);
}

}

int64_t Number::longLongValue() const
{
    switch (type()) {
    case Type::Bool:
    case Type::Int64:
        return m_value.signedValue();
    case Type::UInt64:
        return static_cast<int64_t>(m_value.unsignedValue());
    case Type::Double:
    case Type::Decimal:
        return saturatedFromDouble<int64_t>(m_value.doubleValue());
    }
    return 0;
}

uint64_t Number::unsignedLongLongValue() const
{
    switch (type()) {
    case Type::Bool:
    case Type::Int64:
        return static_cast<uint64_t>(m_value.signedValue());
    case Type::UInt64:
        return m_value.unsignedValue();
    case Type::Double:
    case Type::Decimal:
        if (m_value.doubleValue() < 0)
            return static_cast<uint64_t>(saturatedFromDouble<int64_t>(m_value.doubleValue()));
        return saturatedFromDouble<uint64_t>(m_value.doubleValue());
    }
    return 0;
}

double Number::doubleValue() const
{
    switch (type()) {
    case Type::Bool:
    case Type::Int64:
        return static_cast<double>(m_value.signedValue());
    case Type::UInt64:
        return static_cast<double>(m_value.unsignedValue());
    case Type::Double:
    case Type::Decimal:
        return m_value.doubleValue();
    }
    return 0;
}

int32_t Number::intValue() const
{
    return static_cast<int32_t>(longLongValue());
}

bool Number::boolValue() const
{
    if (type() == Type::Double || type() == Type::Decimal)
        return doubleValue() != 0;
    return longLongValue() != 0;
}

std::string Number::stringValue() const
{
    switch (type()) {
    case Type::Bool:
    case Type::Int64:
        return std::to_string(m_value.signedValue());
    case Type::UInt64:
        return std::to_string(m_value.unsignedValue());
    case Type::Double:
    case Type::Decimal:
        return formatDouble(doubleValue());
    }
    return {};
}

size_t Number::hash() const
{
    double value = doubleValue();
    if (isInteger() || (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 9.2e18))
        return std::hash<int64_t>()(isInteger() && type() == Type::UInt64 ? int64_t(m_value.unsignedValue()) : longLongValue());
    return std::hash<double>()(value);
}

bool Number::isEqual(const Object& other) const
{
    if (this == &other)
        return true;
    auto* number = dynamic_cast<const Number*>(&other);
    if (!number)
        return false;
    if (isInteger() && number->isInteger()) {
        bool thisNegative = type() != Type::UInt64 && m_value.signedValue() < 0;
        bool otherNegative = number->type() != Type::UInt64 && number->m_value.signedValue() < 0;
        if (thisNegative != otherNegative)
            return false;
        return unsignedLongLongValue() == number->unsignedLongLongValue();
    }
    return doubleValue() == number->doubleValue();
}

std::string formatDouble(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}
