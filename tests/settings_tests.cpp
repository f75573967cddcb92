// Settings loaded from the host's configuration file at start-up, as the gesture then shows them.
#include <algorithm>
#include <clocale>
#include <cmath>
#include <string>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;

namespace {

std::string Ini(const std::string& scale, const std::string& mask) {
    return "[other]\r\nscale=9\r\n[ruvenkal]\r\nscale=" + scale + "\r\nmask=" + mask + "\r\n";
}

struct StoredCase {
    const char* name;
    std::string iniText;
    float scale;  // expected, when some half zooms
    bool upper, lower;
};

const StoredCase kStoredCases[] = {
    {"NoSection", "[other]\r\nscale=0.5\r\nmask=0\r\n", 0.1f, true, true},
    {"EmptySection", "[ruvenkal]\r\n", 0.1f, true, true},
    {"Defaults", Ini("0.100000", "3"), 0.1f, true, true},
    {"BlankBeforeNumber", Ini(" \t0.25", "3"), 0.25f, true, true},
    {"TrailingText", Ini("0.25abc", "3"), 0.25f, true, true},
    {"Exponent", Ini("1e-2", "3"), 0.01f, true, true},
    {"PlusSign", Ini("+2", "+1"), 2.0f, true, false},
    {"NotANumber", Ini("abc", "x"), 0.1f, true, true},
    {"SignWithoutNumber", Ini("-", "+-1"), 0.1f, true, true},
    {"Negative", Ini("-0.5", "3"), -0.5f, true, true},
    {"Zero", Ini("0.000000", "3"), 0.0f, true, true},
    {"SixDecimalsRoundTrip", Ini("0.123457", "3"), 0.123457f, true, true},
    {"MaskUpperOnly", Ini("0.1", "1"), 0.1f, true, false},
    {"MaskLowerOnly", Ini("0.1", "2"), 0.1f, false, true},
    {"MaskOff", Ini("0.1", "0"), 0.1f, false, false},
    {"MaskFractionTruncates", Ini("0.1", "2.9"), 0.1f, false, true},
    {"MaskMinusOneEnablesBoth", Ini("0.1", "-1"), 0.1f, true, true},
    {"MaskSevenEnablesBoth", Ini("0.1", "7"), 0.1f, true, true},
    {"MaskFourEnablesNeither", Ini("0.1", "4"), 0.1f, false, false},
    {"MaskOutOfRangeIgnored", Ini("0.1", "99999999999"), 0.1f, true, true},
    // A zoom amount that is not finite must never reach the host.
    {"InfinityIgnored", Ini("inf", "3"), 0.1f, true, true},
    {"NegativeInfinityIgnored", Ini("-infinity", "3"), 0.1f, true, true},
    {"NanIgnored", Ini("nan", "3"), 0.1f, true, true},
    {"OverflowIgnored", Ini("1e999", "3"), 0.1f, true, true},
    {"FloatOverflowIgnored", Ini("3.5e38", "3"), 0.1f, true, true},
    // The buffer takes 99 characters; the rest is cut, never overflowed.
    {"OverLongValueIsCut", Ini("0.5" + std::string(400, '0') + "9", "3"), 0.5f, true, true},
    {"OverLongDigitsCutBeforeExponent", Ini("0.25" + std::string(120, '0') + "e5", "2"), 0.25f,
     false, true},
};

class StoredSettings : public HostTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredSettings, GestureUsesTheLoadedValues) {
    HostOptions options;
    options.iniText = GetParam().iniText;
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    const HalfAmounts amounts = ZoomPerPixelInEachHalf();
    const double scale = GetParam().scale;
    EXPECT_EQ(GetParam().upper, !std::isnan(amounts.upper));
    EXPECT_EQ(GetParam().lower, !std::isnan(amounts.lower));
    for (double amount : {amounts.upper, amounts.lower}) {
        if (!std::isnan(amount)) {
            EXPECT_EQ(scale, amount);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredSettings, ::testing::ValuesIn(kStoredCases), CaseName());

// The host may run with a comma-decimal locale in the C runtime that it shares with the module.
class StoredSettingsUnderGermanLocale : public HostTest {
protected:
    void SetUp() override { ASSERT_NE(nullptr, std::setlocale(LC_ALL, "German")); }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        HostTest::TearDown();
    }
};

TEST_F(StoredSettingsUnderGermanLocale, FullStopStaysTheDecimalSeparator) {
    HostOptions options;
    options.iniText = Ini("0.25", "3");
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    EXPECT_EQ(0.25, ZoomPerPixelInEachHalf().upper);
}

struct MissingFileCase {
    const char* name;
    void (*configure)(HostOptions&);
    bool asksForTheFile;
};

const MissingFileCase kMissingFileCases[] = {
    {"NoFile", [](HostOptions&) {}, true},
    {"NoGetIniFile", [](HostOptions& o) { o.withheldFunctions = {"get_ini_file"}; }, false},
    {"GetIniFileReturnsNull",
     [](HostOptions& o) {
         o.iniPathNull = true;
         o.iniText = Ini("0.5", "1");
     },
     true},
};

class WithoutStoredSettings : public HostTest,
                              public ::testing::WithParamInterface<MissingFileCase> {};

TEST_P(WithoutStoredSettings, DefaultsApplyAndNothingIsWritten) {
    HostOptions options;
    GetParam().configure(options);
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    const HalfAmounts amounts = ZoomPerPixelInEachHalf();
    EXPECT_EQ(static_cast<double>(0.1f), amounts.upper);
    EXPECT_EQ(static_cast<double>(0.1f), amounts.lower);

    const bool asked =
        std::count(Record().events.begin(), Record().events.end(), "call get_ini_file") != 0;
    EXPECT_EQ(GetParam().asksForTheFile, asked);
    if (!options.iniText) {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(standin::IniPath().c_str()));
    }
}

INSTANTIATE_TEST_SUITE_P(Hosts, WithoutStoredSettings, ::testing::ValuesIn(kMissingFileCases),
                         CaseName());

}  // namespace
