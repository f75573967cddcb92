// Parsing without the C runtime, whose scanf follows the process's locale, or the C++ library's
// from_chars, which would take the DLL from 16 KB to 200 KB.
#include "settings/settings_text.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "settings/settings_text_bigint.h"

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

// A decimal number as digits[0..count) * 10^exponent, with `inexact` set when nonzero digits past
// the kept ones were dropped.
struct Decimal {
    char digits[kMaxDecimalDigits];
    int count;
    int exponent;
    bool inexact;
};

// Reads digits, a decimal point and an exponent as "%f" does; false when there is no digit.
bool ReadDecimal(const char** text, Decimal* decimal) {
    const char* p = *text;
    decimal->count = 0;
    decimal->exponent = 0;
    decimal->inexact = false;
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
        if (decimal->count == 0 && *p == '0') {
            decimal->exponent -= fraction ? 1 : 0;  // a leading zero
        } else if (decimal->count < kMaxDecimalDigits) {
            decimal->digits[decimal->count++] = *p;
            decimal->exponent -= fraction ? 1 : 0;
        } else {
            decimal->inexact = decimal->inexact || *p != '0';
            if (!fraction && decimal->exponent < kExponentLimit) {
                ++decimal->exponent;  // an integer digit past the precision kept
            }
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
            decimal->exponent += negativeExponent ? -value : value;
            p = e;
        }
    }
    *text = p;
    return true;
}

// Within a float's ulp or so of the value, from its first 19 digits.
double Approximate(const Decimal& decimal) {
    std::uint64_t significand = 0;
    const int used = decimal.count < 19 ? decimal.count : 19;
    for (int i = 0; i < used; ++i) {
        significand = significand * 10 + static_cast<std::uint64_t>(decimal.digits[i] - '0');
    }
    const int exponent = decimal.exponent + (decimal.count - used);
    const double value = static_cast<double>(significand);
    return exponent >= 0 ? value * PowerOfTen(exponent) : value / PowerOfTen(-exponent);
}

// A positive float, or the midpoint between two, as significand * 2^exponent.
struct Dyadic {
    std::uint64_t significand;
    int exponent;
};

Dyadic Split(float value) {
    int exponent = 0;
    const float fraction = std::frexp(value, &exponent);  // in [0.5, 1)
    return {static_cast<std::uint64_t>(std::ldexp(fraction, 25)), exponent - 25};
}

// Whether the float's last significand bit is clear: ties go to such floats.
bool IsEven(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 1) == 0;
}

// Between two adjacent floats, low >= 0.
Dyadic Midpoint(float low, float high) {
    if (low == 0.0f) {
        return {1, -150};  // half the smallest subnormal
    }
    const Dyadic a = Split(low);
    const Dyadic b = Split(high);
    const int exponent = a.exponent < b.exponent ? a.exponent : b.exponent;
    return {(a.significand << (a.exponent - exponent)) + (b.significand << (b.exponent - exponent)),
            exponent - 1};
}

// Compares the decimal with a midpoint exactly: negative, zero or positive. The dropped digits
// count as a little more.
int CompareWithMidpoint(const Decimal& decimal, Dyadic midpoint) {
    BigInt left;
    BigInt right;
    BigIntFromDigits(&left, decimal.digits, decimal.count);
    BigIntFromUnsigned(&right, midpoint.significand);
    BigIntScale(decimal.exponent >= 0 ? &left : &right, 10,
                decimal.exponent >= 0 ? decimal.exponent : -decimal.exponent);
    BigIntScale(midpoint.exponent >= 0 ? &right : &left, 2,
                midpoint.exponent >= 0 ? midpoint.exponent : -midpoint.exponent);
    const int order = BigIntCompare(left, right);
    return order == 0 && decimal.inexact ? 1 : order;
}

// The float nearest to the decimal, ties to even; infinity beyond the float range.
float NearestFloat(const Decimal& decimal) {
    if (decimal.count == 0) {
        return 0.0f;
    }
    // The value lies in [10^(magnitude - 1), 10^magnitude).
    const int magnitude = decimal.count + decimal.exponent;
    if (magnitude > 40) {
        return INFINITY;
    }
    if (magnitude < -46) {
        return 0.0f;  // below half the smallest subnormal, 1.4e-45
    }
    float candidate = static_cast<float>(Approximate(decimal));
    if (candidate > FLT_MAX) {
        candidate = FLT_MAX;
    }
    // The approximation is off by an ulp at most; step until the value lies between the
    // candidate's midpoints with its neighbours.
    for (int step = 0; step < 4; ++step) {
        const float above = std::nextafter(candidate, INFINITY);
        const float below = std::nextafter(candidate, 0.0f);
        const bool evenCandidate = IsEven(candidate);
        if (above > FLT_MAX) {
            // Past FLT_MAX, the rounding boundary is halfway to 2^128.
            const int order = CompareWithMidpoint(decimal, {(std::uint64_t{1} << 25) - 1, 103});
            if (order >= 0) {
                return INFINITY;
            }
        } else {
            const int order = CompareWithMidpoint(decimal, Midpoint(candidate, above));
            if (order > 0 || (order == 0 && !evenCandidate)) {
                candidate = above;
                continue;
            }
        }
        if (candidate == 0.0f) {
            return candidate;
        }
        const int order = CompareWithMidpoint(decimal, Midpoint(below, candidate));
        if (order < 0 || (order == 0 && !evenCandidate)) {
            candidate = below;
            continue;
        }
        break;
    }
    return candidate;
}

}  // namespace

bool ParseScale(const char* text, float* scale) {
    const char* p = text;
    const bool negative = SkipToDigits(&p);
    Decimal decimal;
    if (!ReadDecimal(&p, &decimal)) {
        return false;
    }
    const float magnitude = NearestFloat(decimal);
    if (!std::isfinite(magnitude)) {
        return false;  // too large for a float
    }
    *scale = negative ? -magnitude : magnitude;
    return true;
}

bool ParseInteger(const char* text, int* value) {
    const char* p = text;
    const bool negative = SkipToDigits(&p);
    if (!IsDigit(*p)) {
        return false;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    std::int64_t magnitude = 0;
    for (; IsDigit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) {
            return false;
        }
    }
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}
