// Just enough of an unsigned big integer to compare a decimal text with a point between two
// floats exactly, for correctly rounded parsing.
#pragma once

#include <cstdint>

// Significant decimal digits kept of a parsed number. Every midpoint between two floats has at
// most 113, so the digits beyond can only break a tie.
constexpr int kMaxDecimalDigits = 800;

// Room for 800 digits times 2^150, or a midpoint times 10^846: under 3000 bits.
constexpr int kBigIntLimbs = 100;

struct BigInt {
    std::uint32_t limbs[kBigIntLimbs];  // least significant first
    int used;
};

void BigIntFromUnsigned(BigInt* number, std::uint64_t value);
// From decimal digit characters, most significant first; at most kMaxDecimalDigits of them.
void BigIntFromDigits(BigInt* number, const char* digits, int count);
// Multiplies by factor^times, for a factor of 2 or 10.
void BigIntScale(BigInt* number, std::uint32_t factor, int times);
// Negative, zero or positive as a is less than, equal to or greater than b.
int BigIntCompare(const BigInt& a, const BigInt& b);
