// Settings loaded from the host's configuration file at start-up, as the gesture then shows them.
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
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

// The keys beyond scale and mask, as the gesture shows them.
struct NewKeysCase {
    const char* name;
    std::string keys;  // lines after scale and mask
    bool zooms;
    int focus;
    int lock;
};

const NewKeysCase kNewKeysCases[] = {
    {"Absent", "", true, -1, 0},
    {"AllValid", "focus=3\r\nlock=6\r\nenabled=1\r\n", true, 3, 6},
    {"FocusEditOrPlayCursor", "focus=0\r\n", true, 0, 0},
    {"FocusEditCursor", "focus=1\r\n", true, 1, 0},
    {"FocusViewCentre", "focus=2\r\n", true, 2, 0},
    {"LockLargest", "lock=64\r\n", true, -1, 64},
    {"Off", "focus=2\r\nenabled=0\r\n", false, 2, 0},
    {"BlanksAndTrailingText", "focus= 2px\r\nlock=\t6.9\r\n", true, 2, 6},
    {"OutOfRangeIgnored", "focus=4\r\nlock=65\r\nenabled=2\r\n", true, -1, 0},
    {"BelowRangeIgnored", "focus=-2\r\nlock=-1\r\nenabled=-1\r\n", true, -1, 0},
    {"BeyondIntIgnored", "focus=4294967299\r\nlock=4294967302\r\n", true, -1, 0},
    {"NotNumbersIgnored", "focus=mouse\r\nlock=\r\nenabled=off\r\n", true, -1, 0},
};

class StoredNewKeys : public HostTest, public ::testing::WithParamInterface<NewKeysCase> {};

TEST_P(StoredNewKeys, GestureUsesTheValidOnes) {
    HostOptions options;
    options.iniText = Ini("0.1", "3") + GetParam().keys;
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    const GestureSettings seen = ObserveGestureSettings();
    EXPECT_EQ(GetParam().zooms, seen.zooms);
    if (seen.zooms) {
        EXPECT_EQ(GetParam().focus, seen.focus);
        EXPECT_EQ(std::max(GetParam().lock, 1), seen.firstZoomAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredNewKeys, ::testing::ValuesIn(kNewKeysCases), CaseName());

TEST_F(StoredSettingsUnderGermanLocale, NewKeysReadTheSame) {
    HostOptions options;
    options.iniText = Ini("0.25", "2") + "focus=3\r\nlock=12\r\n";
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    const GestureSettings seen = ObserveGestureSettings();
    EXPECT_EQ(3, seen.focus);
    EXPECT_EQ(12, seen.firstZoomAfter);
    EXPECT_EQ(0.25 * 12, Record().zoomCalls.back().amount);
}

// The keys a drag needs: which of kHeldKeys then start a zoom.
struct ModifierTextCase {
    const char* name;
    std::string line;
    const char* zoomingKeys;
};

const char kAllKeys[] = "none Shift Ctrl Alt Shift+Ctrl Ctrl+Alt";

const ModifierTextCase kModifierTextCases[] = {
    {"Absent", "", kAllKeys},
    {"AnyKeys", "modifier=0\r\n", kAllKeys},
    {"NoKeys", "modifier=1\r\n", "none"},
    {"Shift", "modifier=2\r\n", "Shift"},
    {"Ctrl", "modifier=3\r\n", "Ctrl"},
    {"Alt", "modifier=4\r\n", "Alt"},
    {"BlanksAndTrailingText", "modifier= 4 alt\r\n", "Alt"},
    {"AboveRangeIgnored", "modifier=5\r\n", kAllKeys},
    {"BelowRangeIgnored", "modifier=-1\r\n", kAllKeys},
    {"NotANumberIgnored", "modifier=ctrl\r\n", kAllKeys},
};

class StoredModifier : public HostTest, public ::testing::WithParamInterface<ModifierTextCase> {};

TEST_P(StoredModifier, DecidesWhichKeysZoom) {
    HostOptions options;
    options.iniText = Ini("0.1", "3") + GetParam().line;
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    EXPECT_EQ(GetParam().zoomingKeys, KeysThatZoom());
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredModifier, ::testing::ValuesIn(kModifierTextCases),
                         CaseName());

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

// The host hands out its configuration path in UTF-8; user folders often have non-ASCII names.
class NonAsciiPath : public HostTest {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"Jos\u00e9 \u0410\u043d\u0434\u0440\u0435\u0439";
        CreateDirectoryW(folder_.c_str(), nullptr);
        file_ = folder_ + L"\\reaper.ini";
    }
    void TearDown() override {
        HostTest::TearDown();
        DeleteFileW(file_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    void WriteFile(const std::string& text) {
        FILE* file = _wfopen(file_.c_str(), L"wb");
        ASSERT_NE(nullptr, file);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    std::string ReadFile() {
        std::string text;
        if (FILE* file = _wfopen(file_.c_str(), L"rb")) {
            char chunk[256];
            for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
                text.append(chunk, n);
            }
            std::fclose(file);
        }
        return text;
    }
    // Closes the dialog with Enter, which applies and saves.
    static void SaveThroughTheDialog() {
        ASSERT_TRUE(standin::RunCommand(standin::Options().commandId));
        HWND dialog = FindConfigDialog();
        ASSERT_NE(nullptr, dialog);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    }

    std::wstring folder_;
    std::wstring file_;
};

std::string Narrow(const std::wstring& wide, UINT codePage, bool* exact) {
    char text[MAX_PATH * 2] = {};
    BOOL usedDefault = FALSE;
    const bool utf8 = codePage == CP_UTF8;
    WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, text,
                        sizeof text, nullptr, utf8 ? nullptr : &usedDefault);
    *exact = !usedDefault;
    return text;
}

TEST_F(NonAsciiPath, Utf8PathLoadsAndSaves) {
    ASSERT_NO_FATAL_FAILURE(WriteFile(Ini("0.25", "2")));
    bool exact = false;
    HostOptions options;
    options.iniPath = Narrow(file_, CP_UTF8, &exact);
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    const HalfAmounts amounts = ZoomPerPixelInEachHalf();
    EXPECT_TRUE(std::isnan(amounts.upper));
    EXPECT_EQ(static_cast<double>(0.25f), amounts.lower);

    ASSERT_NO_FATAL_FAILURE(SaveThroughTheDialog());
    const std::string saved = ReadFile();
    EXPECT_NE(std::string::npos, saved.find("[other]")) << saved;
    EXPECT_NE(std::string::npos, saved.find("scale=0.250000")) << saved;
    EXPECT_NE(std::string::npos, saved.find("mask=2")) << saved;
}

// A path that is not UTF-8 is taken as the system's ANSI code page, as older hosts pass it.
TEST_F(NonAsciiPath, AnsiPathStillLoadsAndSaves) {
    file_ = file_.substr(0, file_.find(L' ')) + L"-ansi.ini";  // ...\\José-ansi.ini
    bool exact = false;
    const std::string ansi = Narrow(file_, CP_ACP, &exact);
    const int wide =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, ansi.c_str(), -1, nullptr, 0);
    if (!exact || wide != 0) {
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no non-UTF-8 form of the path";
    }
    ASSERT_NO_FATAL_FAILURE(WriteFile(Ini("0.75", "1")));
    HostOptions options;
    options.iniPath = ansi;
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    const HalfAmounts amounts = ZoomPerPixelInEachHalf();
    EXPECT_EQ(static_cast<double>(0.75f), amounts.upper);
    EXPECT_TRUE(std::isnan(amounts.lower));

    ASSERT_NO_FATAL_FAILURE(SaveThroughTheDialog());
    EXPECT_NE(std::string::npos, ReadFile().find("scale=0.750000"));
}

}  // namespace
