#include "settings/settings_text_bigint.h"

namespace {

void MultiplyAdd(BigInt* number, std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (int i = 0; i < number->used; ++i) {
        const std::uint64_t product = static_cast<std::uint64_t>(number->limbs[i]) * factor + carry;
        number->limbs[i] = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    // Callers stay within the limbs by construction; past them the carry is dropped.
    if (carry != 0 && number->used < kBigIntLimbs) {
        number->limbs[number->used++] = static_cast<std::uint32_t>(carry);
    }
}

}  // namespace

void BigIntFromUnsigned(BigInt* number, std::uint64_t value) {
    number->limbs[0] = static_cast<std::uint32_t>(value);
    number->limbs[1] = static_cast<std::uint32_t>(value >> 32);
    number->used = number->limbs[1] != 0 ? 2 : 1;
}

void BigIntFromDigits(BigInt* number, const char* digits, int count) {
    BigIntFromUnsigned(number, 0);
    for (int i = 0; i < count; ++i) {
        MultiplyAdd(number, 10, static_cast<std::uint32_t>(digits[i] - '0'));
    }
}

void BigIntScale(BigInt* number, std::uint32_t factor, int times) {
    // The largest power of the factor that fits a limb, as often as it goes.
    std::uint32_t chunk = 1;
    int chunkTimes = 0;
    while (chunk <= 0xFFFFFFFFu / factor) {
        chunk *= factor;
        ++chunkTimes;
    }
    for (; times >= chunkTimes; times -= chunkTimes) {
        MultiplyAdd(number, chunk, 0);
    }
    for (; times > 0; --times) {
        MultiplyAdd(number, factor, 0);
    }
}

int BigIntCompare(const BigInt& a, const BigInt& b) {
    int usedA = a.used;
    int usedB = b.used;
    while (usedA > 1 && a.limbs[usedA - 1] == 0) {
        --usedA;
    }
    while (usedB > 1 && b.limbs[usedB - 1] == 0) {
        --usedB;
    }
    if (usedA != usedB) {
        return usedA < usedB ? -1 : 1;
    }
    for (int i = usedA - 1; i >= 0; --i) {
        if (a.limbs[i] != b.limbs[i]) {
            return a.limbs[i] < b.limbs[i] ? -1 : 1;
        }
    }
    return 0;
}
