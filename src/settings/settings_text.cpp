// Own conversions rather than the C runtime's, which follow the process's locale, or the C++
// library's, which would take the DLL from 16 KB to 400 KB.
#include "settings/settings_text.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips leading blanks and an optional sign, as scanf does; returns true for a minus sign.
bool SkipToDigits(const char** text) {
    const char* p = *text;
    while (IsBlank(*p)) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    *text = p;
    return negative;
}

// 10^exponent for exponent >= 0; exact up to 10^22, correctly rounded factors beyond.
double PowerOfTen(int exponent) {
    double result = 1.0;
    double factor = 10.0;
    while (exponent != 0) {
        if (exponent & 1) {
            result *= factor;
        }
        factor *= factor;
        exponent >>= 1;
    }
    return result;
}

// Limits that keep exponent arithmetic far from overflow; anything past them is 0 or infinite.
constexpr int kExponentLimit = 100000;
constexpr int kSignificantDigits = 19;  // what fits a uint64_t

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

bool ParseScale(const char* text, float* scale) {
    const char* p = text;
    const bool negative = SkipToDigits(&p);

    std::uint64_t significand = 0;
    int significantDigits = 0;
    int exponent = 0;  // decimal exponent of the significand's last digit
    bool anyDigit = false;
    for (bool fraction = false;; ++p) {
        if (*p == '.' && !fraction) {
            fraction = true;
            continue;
        }
        if (!IsDigit(*p)) {
            break;
        }
        anyDigit = true;
        const int digit = *p - '0';
        if (significantDigits < kSignificantDigits) {
            if (significand != 0 || digit != 0) {
                ++significantDigits;
            }
            significand = significand * 10 + static_cast<std::uint64_t>(digit);
            exponent -= fraction ? 1 : 0;
        } else if (!fraction && exponent < kExponentLimit) {
            ++exponent;  // an integer digit past the precision kept
        }
    }
    if (!anyDigit) {
        return false;
    }

    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        const bool negativeExponent = *e == '-';
        if (*e == '-' || *e == '+') {
            ++e;
        }
        if (IsDigit(*e)) {
            int value = 0;
            for (; IsDigit(*e); ++e) {
                if (value < kExponentLimit) {
                    value = value * 10 + (*e - '0');
                }
            }
            exponent += negativeExponent ? -value : value;
        }
    }

    // Exact when the significand has at most 15 digits and |exponent| <= 22, the common case;
    // otherwise within a few double ulps, far finer than a float's.
    double value = static_cast<double>(significand);
    if (significand != 0) {
        value = exponent >= 0 ? value * PowerOfTen(exponent) : value / PowerOfTen(-exponent);
    }
    const float result = static_cast<float>(negative ? -value : value);
    if (!std::isfinite(result)) {
        return false;  // too large for a float
    }
    *scale = result;
    return true;
}

bool ParseMask(const char* text, int* mask) {
    const char* p = text;
    const bool negative = SkipToDigits(&p);
    if (!IsDigit(*p)) {
        return false;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    std::int64_t value = 0;
    for (; IsDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) {
            return false;
        }
    }
    *mask = static_cast<int>(negative ? -value : value);
    return true;
}

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

void FormatMask(int mask, char* buffer, std::size_t size) {
    char text[16];
    char* out = text;
    std::uint64_t magnitude = static_cast<std::uint64_t>(mask);
    if (mask < 0) {
        *out++ = '-';
        magnitude = static_cast<std::uint64_t>(-static_cast<std::int64_t>(mask));
    }
    out = WriteUnsigned(out, magnitude);
    CopyText(text, out, buffer, size);
}
