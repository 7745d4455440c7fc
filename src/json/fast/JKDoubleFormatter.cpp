#include "json/fast/JKDoubleFormatter.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// A compiler extension, but exact products of up to 128 bits are what this needs.
__extension__ typedef unsigned __int128 uint128;

constexpr int significantDigits = 17;

constexpr auto powersOfTen = [] {
    std::array<uint128, 40> powers {};
    powers[0] = 1;
    for (size_t index = 1; index < powers.size(); ++index)
        powers[index] = powers[index - 1] * 10;
    return powers;
}();

// round(|value| * 10^scale) with ties to even, for magnitude * 2^binaryExponent; false when the exact
// product does not fit 128 bits.
bool scaledDigits(uint64_t magnitude, int binaryExponent, int scale, uint64_t& digits)
{
    if (scale < 0 || scale > 22)
        return false;
    uint128 product = static_cast<uint128>(magnitude) * powersOfTen[static_cast<size_t>(scale)];
    if (binaryExponent >= 0) {
        if (binaryExponent > 127 - 75 || (product >> (127 - binaryExponent)) != 0)
            return false;
        product <<= binaryExponent;
        if (product >= powersOfTen[19])
            return false;
        digits = static_cast<uint64_t>(product);
        return true;
    }
    int shift = -binaryExponent;
    if (shift > 127)
        return false;
    uint128 quotient = product >> shift;
    uint128 remainder = product - (quotient << shift);
    uint128 half = static_cast<uint128>(1) << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1)))
        ++quotient;
    if (quotient >= powersOfTen[19])
        return false;
    digits = static_cast<uint64_t>(quotient);
    return true;
}

// The 17 significant digits of |value| and the decimal exponent of the first, by exact integer
// arithmetic; false outside the range that arithmetic covers.
bool seventeenDigits(double value, uint64_t& digits, int& decimalExponent)
{
    uint64_t bits = std::bit_cast<uint64_t>(value);
    int biasedExponent = static_cast<int>((bits >> 52) & 0x7FF);
    if (biasedExponent == 0)
        return false;
    uint64_t magnitude = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
    int binaryExponent = biasedExponent - 1075;
    // log10(2) estimate of the first digit's exponent, corrected below by at most one either way.
    decimalExponent = static_cast<int>(std::floor((binaryExponent + 52) * 0.30102999566398120));
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!scaledDigits(magnitude, binaryExponent, significantDigits - 1 - decimalExponent, digits))
            return false;
        if (digits >= static_cast<uint64_t>(powersOfTen[significantDigits]))
            ++decimalExponent;
        else if (digits < static_cast<uint64_t>(powersOfTen[significantDigits - 1]))
            --decimalExponent;
        else
            return true;
    }
    return false;
}

constexpr auto digitPairs = [] {
    std::array<char, 200> pairs {};
    for (size_t value = 0; value < 100; ++value) {
        pairs[2 * value] = static_cast<char>('0' + value / 10);
        pairs[2 * value + 1] = static_cast<char>('0' + value % 10);
    }
    return pairs;
}();

// Eight digits of a value below 10^8, in short independent divisions rather than one long chain.
void writeEightDigits(uint32_t value, char* out)
{
    uint32_t high = value / 10000;
    uint32_t low = value % 10000;
    std::memcpy(out, &digitPairs[2 * (high / 100)], 2);
    std::memcpy(out + 2, &digitPairs[2 * (high % 100)], 2);
    std::memcpy(out + 4, &digitPairs[2 * (low / 100)], 2);
    std::memcpy(out + 6, &digitPairs[2 * (low % 100)], 2);
}

// All 17 digits of a value below 10^17, leading zeros included.
void writeSeventeenDigits(uint64_t digits, char* out)
{
    uint64_t high = digits / 100000000;
    out[0] = static_cast<char>('0' + high / 100000000);
    writeEightDigits(static_cast<uint32_t>(high % 100000000), out + 1);
    writeEightDigits(static_cast<uint32_t>(digits % 100000000), out + 9);
}

size_t writeExponent(char* out, int exponent)
{
    size_t length = 0;
    out[length++] = 'e';
    out[length++] = exponent < 0 ? '-' : '+';
    unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    if (magnitude < 10)
        out[length++] = '0';
    auto result = std::to_chars(out + length, out + length + 4, magnitude);
    return static_cast<size_t>(result.ptr - out);
}

}

size_t JKFormatDouble(double value, char* out)
{
    uint64_t digits = 0;
    int exponent = 0;
    if (value == 0 || !seventeenDigits(value, digits, exponent)) {
        auto result = std::to_chars(out, out + 32, value, std::chars_format::general, significantDigits);
        return static_cast<size_t>(result.ptr - out);
    }

    char text[significantDigits];
    writeSeventeenDigits(digits, text);
    int used = significantDigits;
    while (used > 1 && text[used - 1] == '0')
        --used;

    size_t length = 0;
    if (std::signbit(value))
        out[length++] = '-';
    if (exponent < -4 || exponent >= significantDigits) {
        out[length++] = text[0];
        if (used > 1) {
            out[length++] = '.';
            std::memcpy(out + length, text + 1, static_cast<size_t>(used - 1));
            length += static_cast<size_t>(used - 1);
        }
        return length + writeExponent(out + length, exponent);
    }
    if (exponent < 0) {
        out[length++] = '0';
        out[length++] = '.';
        for (int zero = 0; zero < -exponent - 1; ++zero)
            out[length++] = '0';
        std::memcpy(out + length, text, static_cast<size_t>(used));
        return length + static_cast<size_t>(used);
    }
    int integerDigits = exponent + 1;
    std::memcpy(out + length, text, static_cast<size_t>(integerDigits));
    length += static_cast<size_t>(integerDigits);
    if (used > integerDigits) {
        out[length++] = '.';
        std::memcpy(out + length, text + integerDigits, static_cast<size_t>(used - integerDigits));
        length += static_cast<size_t>(used - integerDigits);
    }
    return length;
}
