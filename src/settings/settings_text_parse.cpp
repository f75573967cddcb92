// Parsing without the C runtime, whose scanf follows the process's locale, or the C++ library's
// from_chars, which would take the DLL from 16 KB to 200 KB.
#include "settings/settings_text.h"

#include <climits>
#include <cmath>
#include <cstdint>

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
