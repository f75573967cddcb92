// Settings as text, in the forms of C's "%f" and "%d" but always with a full stop as the decimal
// separator, whatever locale the host has set in the C runtime that it shares with this module.
#pragma once

#include <cstddef>

// Parse like sscanf's "%f" and "%d": leading blanks skipped, trailing text ignored. They return
// false, leaving the target as it was, when the text holds no number or no finite one in range.
bool ParseScale(const char* text, float* scale);
bool ParseInteger(const char* text, int* value);

// Format like "%f" (six decimals, ties to even) and "%d", cut to fit `size` bytes with the
// terminator; the longest scale, -FLT_MAX, takes 47 characters.
void FormatScale(float scale, char* buffer, std::size_t size);
void FormatInteger(int value, char* buffer, std::size_t size);
