// FormatScale and FormatInteger for any value and any buffer size, against snprintf's "%f" and "%d"
// in the C locale: the same text, cut to the buffer with its terminator, and nothing written
// past the buffer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/settings_text.h"

namespace {

// The buffer must hold the reference text's first size - 1 characters and a terminator.
void Expect(const char* reference, const char* buffer, std::size_t size) {
    if (size == 0) {
        return;
    }
    const std::size_t length = std::strlen(reference);
    const std::size_t kept = length < size ? length : size - 1;
    if (std::memcmp(buffer, reference, kept) != 0 || buffer[kept] != '\0') {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    std::uint32_t bits;
    std::memcpy(&bits, data, sizeof bits);
    const std::size_t bufferSize = data[4] % 128;  // the store's buffer has 100 bytes
    // Exactly bufferSize bytes on the heap: a write past them is caught.
    char* buffer = static_cast<char*>(std::malloc(bufferSize == 0 ? 1 : bufferSize));
    char* target = bufferSize == 0 ? nullptr : buffer;  // size 0 must write nothing at all

    float scale;
    std::memcpy(&scale, &bits, sizeof scale);
    char reference[64];
    std::snprintf(reference, sizeof reference, "%f", static_cast<double>(scale));
    FormatScale(scale, target, bufferSize);
    Expect(reference, buffer, bufferSize);

    int mask;
    std::memcpy(&mask, &bits, sizeof mask);
    std::snprintf(reference, sizeof reference, "%d", mask);
    FormatInteger(mask, target, bufferSize);
    Expect(reference, buffer, bufferSize);

    std::free(buffer);
    return 0;
}
