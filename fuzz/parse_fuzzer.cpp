// ParseScale and ParseInteger on any text, against the C library's strtof and strtol in the C
// locale: the same texts count as numbers, with the same values and the same range.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/settings_text.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// What "%f" reads in the host's C runtime: no hexadecimal form, no "inf" or "nan". strtof reads
// those too (C99), so the reference text stops where "%f" would.
std::string AsScanfWouldReadIt(const std::string& text) {
    std::size_t p = 0;
    while (p < text.size() && IsBlank(text[p])) {
        ++p;
    }
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        ++p;
    }
    if (p + 1 < text.size() && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X')) {
        return text.substr(0, p + 1);
    }
    return text;
}

void CheckScale(const char* text) {
    const std::string reference = AsScanfWouldReadIt(text);
    char* end = nullptr;
    const float expected = std::strtof(reference.c_str(), &end);
    const bool isNumber = end != reference.c_str();
    // Past the float range strtof gives infinity; below it, zero or a subnormal, both usable.
    const bool inRange = std::isfinite(expected);

    const float untouched = 12345.5f;
    float scale = untouched;
    const bool parsed = ParseScale(text, &scale);
    if (parsed != (isNumber && inRange)) {
        std::abort();  // disagrees on whether the text holds a usable number
    }
    if (!parsed && std::memcmp(&scale, &untouched, sizeof scale) != 0) {
        std::abort();  // a refused text changed the setting
    }
    if (parsed && std::memcmp(&scale, &expected, sizeof scale) != 0) {
        std::abort();  // another value
    }
}

void CheckMask(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long long expected = std::strtoll(text, &end, 10);
    const bool isNumber = end != text;
    const bool inRange = errno != ERANGE && expected >= INT_MIN && expected <= INT_MAX;

    int mask = 77;
    const bool parsed = ParseInteger(text, &mask);
    if (parsed != (isNumber && inRange)) {
        std::abort();
    }
    if (parsed ? mask != expected : mask != 77) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly the text and its terminator on the heap: a read past it is caught.
    const std::size_t length = strnlen(reinterpret_cast<const char*>(data), size);
    char* text = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(text, data, length);
    text[length] = '\0';
    CheckScale(text);
    CheckMask(text);
    std::free(text);
    return 0;
}
