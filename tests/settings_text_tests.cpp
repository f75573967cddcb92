// The module's own number conversions against the C runtime's, in the C locale, over floats of
// every magnitude.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "settings/settings_text.h"

namespace {

std::string Printf(const char* format, double value) {
    char text[128];
    __mingw_snprintf(text, sizeof text, format, value);
    return text;
}

std::string Format(float value) {
    char text[100];
    FormatScale(value, text, sizeof text);
    return text;
}

float FromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(SettingsText, FormatsEveryMagnitudeAsPrintfDoes) {
    std::mt19937 random(20261210);
    for (int i = 0; i < 200000; ++i) {
        const float value = FromBits(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value)) {
            continue;
        }
        ASSERT_EQ(Printf("%f", value), Format(value)) << "bits " << std::hex << random();
    }
}

TEST(SettingsText, FormatsEdgeValues) {
    const float values[] = {0.0f,        -0.0f,         0.1f,           -0.5f,    0.0000005f,
                            0.0000004f,  0.0078125f,    0.0234375f,     1e-45f,   16777215.0f,
                            16777216.0f, 3.4028235e38f, -3.4028235e38f, 0.123457f};
    for (float value : values) {
        EXPECT_EQ(Printf("%f", value), Format(value)) << Printf("%.9g", value);
    }
    EXPECT_EQ("-340282346638528859811704183484516925440.000000", Format(-3.4028235e38f));
}

TEST(SettingsText, FormatCutsToTheBuffer) {
    char text[5];
    FormatScale(123.5f, text, sizeof text);
    EXPECT_STREQ("123.", text);
    FormatInteger(-2147483647 - 1, text, sizeof text);
    EXPECT_STREQ("-214", text);
}

TEST(SettingsText, ParsesWhatItFormatsAndShortestForms) {
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i) {
        const float value = FromBits(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value)) {
            continue;
        }
        for (const char* format : {"%f", "%.9g", "%.3e"}) {
            const std::string text = Printf(format, value);
            float parsed = 42.0f;
            ASSERT_TRUE(ParseScale(text.c_str(), &parsed)) << text;
            const float expected = static_cast<float>(std::strtod(text.c_str(), nullptr));
            ASSERT_EQ(expected, parsed) << text;
        }
    }
}

TEST(SettingsText, ParsesMasksAtTheLimits) {
    const struct {
        const char* text;
        bool parsed;
        int mask;
    } cases[] = {
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {" \n+12x", true, 12},
        {"", false, 0},
        {"-", false, 0},
        {"0x10", true, 0},
    };
    for (const auto& c : cases) {
        int mask = 77;
        EXPECT_EQ(c.parsed, ParseInteger(c.text, &mask)) << c.text;
        EXPECT_EQ(c.parsed ? c.mask : 77, mask) << c.text;
    }
    char text[16];
    FormatInteger(-2147483647 - 1, text, sizeof text);
    EXPECT_STREQ("-2147483648", text);
}

TEST(SettingsText, ParsesScaleEdgeForms) {
    const struct {
        const char* text;
        bool parsed;
        float scale;
    } cases[] = {
        {".5", true, 0.5f},
        {"5.", true, 5.0f},
        {"1e", true, 1.0f},
        {"1e+2", true, 100.0f},
        {"0e999", true, 0.0f},
        {"1e-999", true, 0.0f},
        {".", false, 0},
        {"e5", false, 0},
        {"1e39", false, 0},
        {"3.4028235e38", true, 3.4028235e38f},
        {"3.4028236e38", false, 0},
        {"0.00000000000000000000000000000000000000000000140129846", true, 1e-45f},
        {"12345678901234567890123", true, 1.2345679e22f},
    };
    for (const auto& c : cases) {
        float scale = 42.0f;
        EXPECT_EQ(c.parsed, ParseScale(c.text, &scale)) << c.text;
        EXPECT_EQ(c.parsed ? c.scale : 42.0f, scale) << c.text;
    }
}

}  // namespace
