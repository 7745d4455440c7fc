#pragma once

#include "platform/foundation/Number.h"

#include <optional>
#include <string>

namespace fnd {

// A base-10 number kept exactly as written: sign, digits and exponent, value = ±digits × 10^exponent.
class DecimalNumber final : public Number {
public:
    // Accepts JSON number text (optional "-", digits, fraction, exponent); nothing for anything else or
    // for an exponent beyond 32 bits.
    static Ref<DecimalNumber> fromText(std::string_view);
    static Ref<DecimalNumber> fromInteger(int64_t);

    bool isNegative() const { return m_negative; }
    // Without leading or trailing zeros; "0" for zero.
    const std::string& digits() const { return m_digits; }
    int32_t exponent() const { return m_exponent; }
    bool isZero() const { return m_digits == "0"; }

    Type type() const override { return Type::Decimal; }
    int64_t longLongValue() const override;
    uint64_t unsignedLongLongValue() const override;
    // Valid JSON text: plain notation ("1500", "0.25", "-0"), scientific when plain would be very long.
    std::string stringValue() const override;

    std::string_view className() const override { return "DecimalNumber"; }
    bool isEqual(const Object&) const override;

    DecimalNumber(bool negative, std::string digits, int32_t exponent);

private:
    std::optional<uint64_t> integerMagnitude() const;

    bool m_negative;
    std::string m_digits;
    int32_t m_exponent;
};

}
