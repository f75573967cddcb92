// Formatting without the C runtime, whose printf follows the process's locale, or the C++
// library's to_chars, which would take the DLL from 16 KB to 350 KB.
#include "settings/settings_text.h"

#include <cstdint>
#include <cstring>

namespace {

char* WriteUnsigned(char* out, std::uint64_t value) {
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

// A float's magnitude as significand * 2^exponent, with an integer significand below 2^24.
struct BinaryFloat {
    std::uint32_t significand;
    int exponent;
};

BinaryFloat Decompose(std::uint32_t bits) {
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    const std::uint32_t fraction = bits & 0x7FFFFF;
    if (biased == 0) {
        return {fraction, -149};
    }
    return {fraction | 0x800000, biased - 150};
}

// An integer significand * 2^exponent (exponent >= 0) in decimal, in base-10^9 limbs: a float's
// largest integer needs 39 digits.
char* WriteLargeInteger(char* out, std::uint32_t significand, int exponent) {
    std::uint32_t limbs[6] = {significand % 1000000000u, significand / 1000000000u};
    int used = 2;
    for (int i = 0; i < exponent; ++i) {
        std::uint32_t carry = 0;
        for (int limb = 0; limb < used; ++limb) {
            const std::uint64_t doubled = (static_cast<std::uint64_t>(limbs[limb]) << 1) + carry;
            limbs[limb] = static_cast<std::uint32_t>(doubled % 1000000000u);
            carry = static_cast<std::uint32_t>(doubled / 1000000000u);
        }
        if (carry != 0) {
            limbs[used++] = carry;
        }
    }
    while (used > 1 && limbs[used - 1] == 0) {
        --used;
    }
    out = WriteUnsigned(out, limbs[used - 1]);
    for (int limb = used - 2; limb >= 0; --limb) {
        char group[9];
        std::uint32_t value = limbs[limb];
        for (int digit = 8; digit >= 0; --digit) {
            group[digit] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        std::memcpy(out, group, sizeof group);
        out += sizeof group;
    }
    return out;
}

// significand * 2^exponent * 10^6 for exponent < 0, rounded to the nearest integer, ties to
// even as printf does.
std::uint64_t ScaledToMillionths(std::uint32_t significand, int exponent) {
    const std::uint64_t scaled = static_cast<std::uint64_t>(significand) * 1000000u;  // < 2^44
    const int shift = -exponent;
    if (shift > 45) {
        return 0;  // below half a millionth
    }
    const std::uint64_t quotient = scaled >> shift;
    const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    const bool roundUp = remainder > half || (remainder == half && (quotient & 1) != 0);
    return quotient + (roundUp ? 1 : 0);
}

void CopyText(const char* text, const char* end, char* buffer, std::size_t size) {
    if (size == 0) {
        return;
    }
    const std::size_t length = static_cast<std::size_t>(end - text);
    const std::size_t copied = length < size ? length : size - 1;
    std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
}

}  // namespace

void FormatScale(float scale, char* buffer, std::size_t size) {
    char text[64];  // the longest, -FLT_MAX, takes 47 characters
    char* out = text;

    std::uint32_t bits;
    std::memcpy(&bits, &scale, sizeof bits);
    if (bits >> 31) {
        *out++ = '-';
    }
    const BinaryFloat binary = Decompose(bits);
    if (((bits >> 23) & 0xFF) == 0xFF) {
        const char* name = (bits & 0x7FFFFF) != 0 ? "nan" : "inf";
        std::memcpy(out, name, 3);
        out += 3;
    } else if (binary.exponent >= 0) {
        out = WriteLargeInteger(out, binary.significand, binary.exponent);
        std::memcpy(out, ".000000", 7);
        out += 7;
    } else {
        const std::uint64_t millionths = ScaledToMillionths(binary.significand, binary.exponent);
        out = WriteUnsigned(out, millionths / 1000000);
        *out++ = '.';
        std::uint64_t fraction = millionths % 1000000;
        for (int digit = 5; digit >= 0; --digit) {
            out[digit] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        out += 6;
    }
    CopyText(text, out, buffer, size);
}

void FormatInteger(int value, char* buffer, std::size_t size) {
    char text[16];
    char* out = text;
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = static_cast<std::uint64_t>(-static_cast<std::int64_t>(value));
    }
    out = WriteUnsigned(out, magnitude);
    CopyText(text, out, buffer, size);
}
