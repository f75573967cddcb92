// Ruvenkal_GetSetting and Ruvenkal_SetSetting, called as another extension calls them (through
// the host's function lookup) and as ReaScript does (through the vararg wrappers).
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;

namespace {

using GetSetting = bool (*)(const char* key, char* valueOut, int valueOut_sz);
using SetSetting = bool (*)(const char* key, const char* value);
using Vararg = void* (*)(void** arglist, int numparms);

const char* const kKeys[] = {"scale", "mask", "focus", "lock", "enabled", "modifier", "threshold"};
constexpr int kKeyCount = sizeof kKeys / sizeof kKeys[0];

// Each call is made both ways, and both must agree.
enum class Caller { Direct, ReaScript };

template <typename Function>
Function Registered(const std::string& key) {
    return reinterpret_cast<Function>(standin::RegisteredItem(key));
}

void* Argument(std::intptr_t value) {
    return reinterpret_cast<void*>(value);
}

bool Get(Caller caller, const char* key, char* buffer, int size) {
    if (caller == Caller::Direct) {
        auto get = reinterpret_cast<GetSetting>(standin::LookUpFunction("Ruvenkal_GetSetting"));
        return get != nullptr && get(key, buffer, size);
    }
    auto wrapper = Registered<Vararg>("APIvararg_Ruvenkal_GetSetting");
    void* arguments[] = {const_cast<char*>(key), buffer, Argument(size)};
    return wrapper != nullptr && wrapper(arguments, 3) == Argument(1);
}

bool Set(Caller caller, const char* key, const char* value) {
    if (caller == Caller::Direct) {
        auto set = reinterpret_cast<SetSetting>(standin::LookUpFunction("Ruvenkal_SetSetting"));
        return set != nullptr && set(key, value);
    }
    auto wrapper = Registered<Vararg>("APIvararg_Ruvenkal_SetSetting");
    void* arguments[] = {const_cast<char*>(key), const_cast<char*>(value)};
    return wrapper != nullptr && wrapper(arguments, 2) == Argument(1);
}

// The setting's text, or "(false)" when Get refuses.
std::string Text(Caller caller, const char* key) {
    char buffer[64] = {};
    return Get(caller, key, buffer, sizeof buffer) ? buffer : "(false)";
}

class ScriptApi : public HostTest, public ::testing::WithParamInterface<Caller> {};

struct StoredTexts {
    const char* name;
    const char* iniText;
    const char* expected[kKeyCount];
};

const StoredTexts kStoredTexts[] = {
    {"Defaults", "", {"0.100000", "3", "-1", "0", "1", "0", "0"}},
    {"Stored",
     "[ruvenkal]\r\nscale=0.25\r\nmask=2\r\nfocus=3\r\nlock=6\r\nenabled=0\r\nmodifier=4\r\n"
     "threshold=8\r\n",
     {"0.250000", "2", "3", "6", "0", "4", "8"}},
    {"StoredTextsNormalized",
     "[ruvenkal]\r\nscale= 1e-2\r\nmask=-1\r\nfocus=0px\r\nlock=64\r\nthreshold=65\r\n",
     {"0.010000", "-1", "0", "64", "1", "0", "0"}},
};

TEST_P(ScriptApi, GetsEveryKeyAsTheFileWritesIt) {
    for (const StoredTexts& c : kStoredTexts) {
        SCOPED_TRACE(c.name);
        HostOptions options;
        options.iniText = c.iniText;
        ASSERT_NO_FATAL_FAILURE(Attach(options));
        for (int k = 0; k < kKeyCount; ++k) {
            EXPECT_EQ(c.expected[k], Text(GetParam(), kKeys[k])) << kKeys[k];
        }
        standin::Stop();
    }
}

TEST_P(ScriptApi, GetRefusesUnknownKeysAndBadBuffers) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    // Unknown keys: false, with an empty text.
    for (const char* key : {"Scale", "SCALE", "scale ", "zoom", "", "ruvenkal"}) {
        char buffer[16] = "untouched";
        EXPECT_FALSE(Get(GetParam(), key, buffer, sizeof buffer)) << key;
        EXPECT_STREQ("", buffer) << key;
    }
    // Nothing to write into, or no key: false, and nothing written.
    char buffer[16] = "untouched";
    EXPECT_FALSE(Get(GetParam(), nullptr, buffer, sizeof buffer));
    EXPECT_FALSE(Get(GetParam(), "scale", buffer, 0));
    EXPECT_FALSE(Get(GetParam(), "scale", buffer, -1));
    EXPECT_STREQ("untouched", buffer);
    EXPECT_FALSE(Get(GetParam(), "scale", nullptr, 16));
}

// "0.100000" takes 9 bytes with its terminator; the bytes past the given size stay untouched.
TEST_P(ScriptApi, GetNeedsRoomForTheTerminator) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    for (int size : {1, 8, 9}) {
        SCOPED_TRACE(size);
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        const bool fits = size == 9;
        EXPECT_EQ(fits, Get(GetParam(), "scale", buffer, size));
        EXPECT_EQ(fits ? std::string("0.100000") : std::string(), std::string(buffer));
        for (int i = size; i < 16; ++i) {
            EXPECT_EQ('#', buffer[i]) << "byte " << i;
        }
    }
}

// Read by the configuration file's rules for each key: what the file would accept, Set accepts,
// with the same value; what the file would ignore, Set refuses.
struct SetCase {
    const char* key;
    std::string text;
    const char* expected;  // the setting's text afterwards, or null when refused
};

const SetCase kSetCases[] = {
    {"scale", "0.5", "0.500000"},
    {"scale", " \t0.25", "0.250000"},
    {"scale", "0.25abc", "0.250000"},
    {"scale", "1e-2", "0.010000"},
    {"scale", "+2", "2.000000"},
    {"scale", "-0.5", "-0.500000"},
    {"scale", "0.1234567", "0.123457"},
    {"scale", "abc", nullptr},
    {"scale", "-", nullptr},
    {"scale", "", nullptr},
    {"scale", "inf", nullptr},
    {"scale", "-infinity", nullptr},
    {"scale", "nan", nullptr},
    {"scale", "1e999", nullptr},
    {"scale", "3.5e38", nullptr},
    // Cut to 99 characters, as a file's value is, before the exponent.
    {"scale", "0.25" + std::string(120, '0') + "e5", "0.250000"},
    {"mask", "2.9", "2"},
    {"mask", "-1", "-1"},
    {"mask", "7", "7"},
    {"mask", "99999999999", nullptr},
    {"mask", "x", nullptr},
    {"mask", "+-1", nullptr},
    {"focus", "-1", "-1"},
    {"focus", "3", "3"},
    {"focus", " 2px", "2"},
    {"focus", "-2", nullptr},
    {"focus", "4", nullptr},
    {"focus", "mouse", nullptr},
    {"lock", "0", "0"},
    {"lock", "64", "64"},
    {"lock", "\t6.9", "6"},
    {"lock", "-1", nullptr},
    {"lock", "65", nullptr},
    {"lock", "4294967302", nullptr},
    {"enabled", "0", "0"},
    {"enabled", "1", "1"},
    {"enabled", "-1", nullptr},
    {"enabled", "2", nullptr},
    {"enabled", "off", nullptr},
    {"modifier", "0", "0"},
    {"modifier", "4", "4"},
    {"modifier", "-1", nullptr},
    {"modifier", "5", nullptr},
    {"threshold", "0", "0"},
    {"threshold", "64", "64"},
    {"threshold", "8px", "8"},
    {"threshold", "-1", nullptr},
    {"threshold", "65", nullptr},
    {"threshold", "band", nullptr},
    {"Scale", "0.5", nullptr},
    {"zoom", "1", nullptr},
};

// Stored values that no case sets, so that every accepted set changes the file.
const char kStoredIni[] =
    "[ruvenkal]\r\nscale=0.300000\r\nmask=1\r\nfocus=1\r\nlock=5\r\nmodifier=2\r\nthreshold=3\r\n";

std::string FileValue(const char* key) {
    char value[128] = {};
    GetPrivateProfileStringA("ruvenkal", key, "(absent)", value, sizeof value,
                             standin::IniPath().c_str());
    return value;
}

TEST_P(ScriptApi, SetReadsTextsAsTheFileDoesAndSavesAcceptedOnes) {
    for (const SetCase& c : kSetCases) {
        SCOPED_TRACE(std::string(c.key) + " = '" + c.text + "'");
        HostOptions options;
        options.iniText = kStoredIni;
        ASSERT_NO_FATAL_FAILURE(Attach(options));
        const std::string fileBefore = ReadTextFile(standin::IniPath());
        std::vector<std::string> before;
        for (const char* key : kKeys) {
            before.push_back(Text(GetParam(), key));
        }

        EXPECT_EQ(c.expected != nullptr, Set(GetParam(), c.key, c.text.c_str()));
        if (c.expected == nullptr) {
            EXPECT_EQ(fileBefore, ReadTextFile(standin::IniPath()));
            for (int k = 0; k < kKeyCount; ++k) {
                EXPECT_EQ(before[k], Text(GetParam(), kKeys[k])) << kKeys[k];
            }
        } else {
            EXPECT_EQ(c.expected, Text(GetParam(), c.key));
            // Saved as the dialog saves: keys at their defaults beyond scale and mask leave.
            const std::string saved = FileValue(c.key);
            EXPECT_TRUE(saved == c.expected || saved == "(absent)") << saved;
        }
        standin::Stop();
    }
}

// A script may set a value many times a second: the host's whole file is rewritten only for a
// change.
TEST_P(ScriptApi, SetsThatChangeNothingWriteNothing) {
    HostOptions options;
    options.iniText = kStoredIni;
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    ASSERT_TRUE(DeleteFileA(standin::IniPath().c_str()));
    for (const char* key : kKeys) {
        SCOPED_TRACE(key);
        const std::string value = Text(GetParam(), key);
        EXPECT_TRUE(Set(GetParam(), key, value.c_str()));
        EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesA(standin::IniPath().c_str()));
    }
    // The same value in another spelling changes nothing either.
    EXPECT_TRUE(Set(GetParam(), "scale", " 0.3abc"));
    EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesA(standin::IniPath().c_str()));

    EXPECT_TRUE(Set(GetParam(), "lock", "6"));
    EXPECT_EQ("6", FileValue("lock"));
    EXPECT_EQ("0.300000", FileValue("scale"));
}

TEST_P(ScriptApi, AcceptedSetsApplyToTheNextDrag) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    ASSERT_TRUE(Set(GetParam(), "scale", "0.5"));
    ASSERT_TRUE(Set(GetParam(), "mask", "1"));
    const HalfAmounts amounts = ZoomPerPixelInEachHalf();
    EXPECT_EQ(0.5, amounts.upper);
    EXPECT_TRUE(std::isnan(amounts.lower));
    EXPECT_EQ("[ruvenkal]\r\nscale=0.500000\r\nmask=1\r\n", ReadTextFile(standin::IniPath()));

    ASSERT_TRUE(Set(GetParam(), "focus", "2"));
    ASSERT_TRUE(Set(GetParam(), "mask", "2"));
    EXPECT_EQ(2, ObserveGestureSettings().focus);
}

// As with the toggle action: the drag ends, and the toolbar buttons are redrawn.
TEST_P(ScriptApi, SwitchingOffMidDragEndsItAndRefreshesTheToolbar) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    standin::SendMouse(WM_LBUTTONDOWN, 50, 3);
    standin::SendMouse(WM_MOUSEMOVE, 50, 5, MK_LBUTTON);
    ASSERT_EQ(1u, Record().zoomCalls.size());

    ASSERT_TRUE(Set(GetParam(), "enabled", "0"));
    standin::SendMouse(WM_MOUSEMOVE, 50, 9, MK_LBUTTON);
    EXPECT_EQ(1u, Record().zoomCalls.size());
    EXPECT_EQ("call RefreshToolbar2 0 " + std::to_string(kToggle), Record().events.back());
    EXPECT_EQ(0, standin::ToggleState(kToggle));

    // Setting the value it already has redraws nothing.
    Record().events.clear();
    ASSERT_TRUE(Set(GetParam(), "enabled", "0"));
    for (const std::string& event : Record().events) {
        EXPECT_EQ(std::string::npos, event.find("RefreshToolbar2")) << event;
    }
}

// A drag keeps the band and the lock of its press: a script can't shrink the band under the
// pointer or let the time display see it jump. The next press takes the new values.
TEST_P(ScriptApi, BandAndLockSetMidDragApplyFromTheNextPress) {
    HostOptions options;
    options.iniText = "[ruvenkal]\r\nlock=6\r\nthreshold=8\r\n";
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    // Upper half: 12 px down is 4 beyond the band of 8; back at the press, the zooms add to 0.
    standin::SendMouse(WM_LBUTTONDOWN, 50, 3, MK_LBUTTON);
    standin::SendMouse(WM_MOUSEMOVE, 50, 15, MK_LBUTTON);
    ASSERT_TRUE(Set(GetParam(), "threshold", "0"));
    standin::SendMouse(WM_MOUSEMOVE, 50, 3, MK_LBUTTON);
    standin::SendMouse(WM_LBUTTONUP, 50, 3);
    double sum = 0;
    for (const standin::ZoomCall& call : Record().zoomCalls) {
        sum += call.amount;
    }
    EXPECT_EQ(2u, Record().zoomCalls.size());
    EXPECT_NEAR(0.0, sum, 1e-12);
    Record().zoomCalls.clear();
    standin::SendMouse(WM_LBUTTONDOWN, 50, 3, MK_LBUTTON);
    standin::SendMouse(WM_MOUSEMOVE, 50, 4, MK_LBUTTON);
    standin::SendMouse(WM_LBUTTONUP, 50, 4);
    EXPECT_EQ(1u, Record().zoomCalls.size()) << "the next press has no band";

    // Lower half: a lock of 6 keeps the axis open, and the pointer held at the press, for the
    // whole drag even after the lock is set to 0.
    const auto forwardedMoves = [] {
        std::vector<LPARAM> moves;
        for (const standin::WindowMessage& m : Record().timeDisplayMessages) {
            if (m.message == WM_MOUSEMOVE) {
                moves.push_back(m.lParam);
            }
        }
        Record().timeDisplayMessages.clear();
        return moves;
    };
    ASSERT_TRUE(Set(GetParam(), "lock", "6"));
    Record().timeDisplayMessages.clear();
    standin::SendMouse(WM_LBUTTONDOWN, 100, 15, MK_LBUTTON);
    standin::SendMouse(WM_MOUSEMOVE, 102, 16, MK_LBUTTON);
    ASSERT_TRUE(Set(GetParam(), "lock", "0"));
    standin::SendMouse(WM_MOUSEMOVE, 103, 17, MK_LBUTTON);
    standin::SendMouse(WM_LBUTTONUP, 103, 17);
    EXPECT_EQ(std::vector<LPARAM>(2, standin::MousePosition(100, 15)), forwardedMoves());
    standin::SendMouse(WM_LBUTTONDOWN, 100, 15, MK_LBUTTON);
    standin::SendMouse(WM_MOUSEMOVE, 102, 16, MK_LBUTTON);
    standin::SendMouse(WM_LBUTTONUP, 102, 16);
    EXPECT_EQ(std::vector<LPARAM>{standin::MousePosition(102, 15)}, forwardedMoves())
        << "the next press decides at once";
}

// Closing the dialog applies what it shows: it must show what a script set, shown or hidden.
TEST_P(ScriptApi, ClosingTheDialogKeepsWhatAScriptSet) {
    for (bool shownDuringSet : {true, false}) {
        SCOPED_TRACE(shownDuringSet ? "dialog shown" : "dialog hidden");
        ASSERT_NO_FATAL_FAILURE(Attach());
        ASSERT_TRUE(standin::RunCommand(kShowConfig));
        HWND dialog = FindConfigDialog();
        if (!shownDuringSet) {
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        for (const char* key : kKeys) {
            const char* value = std::strcmp(key, "scale") == 0     ? "0.75"
                                : std::strcmp(key, "enabled") == 0 ? "0"
                                : std::strcmp(key, "focus") == 0   ? "3"
                                                                   : "2";
            ASSERT_TRUE(Set(GetParam(), key, value)) << key;
        }
        const std::string set = ReadTextFile(standin::IniPath());
        ASSERT_TRUE(standin::RunCommand(kShowConfig));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(set, ReadTextFile(standin::IniPath()));
        EXPECT_EQ(
            "[ruvenkal]\r\nscale=0.750000\r\nmask=2\r\nfocus=3\r\nlock=2\r\nenabled=0\r\n"
            "modifier=2\r\nthreshold=2\r\n",
            set);
        standin::Stop();
    }
}

TEST_P(ScriptApi, WithoutAConfigurationFileSetsApplyAndNothingIsWritten) {
    HostOptions options;
    options.iniPathNull = true;
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    ASSERT_TRUE(Set(GetParam(), "scale", "0.5"));
    EXPECT_EQ("0.500000", Text(GetParam(), "scale"));
    EXPECT_EQ(0.5, ZoomPerPixelInEachHalf().upper);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(standin::IniPath().c_str()));
}

// Runs `work` on a thread of its own and waits a bounded time for it, handling the messages sent
// to this thread's windows meanwhile. False if it didn't end in time: a call that waits on this
// thread then fails in seconds instead of hanging the run.
template <typename Work>
DWORD WINAPI RunWork(void* work) {
    (*static_cast<Work*>(work))();
    return 0;
}

template <typename Work>
bool RunOnAnotherThread(Work& work) {
    char scale[16] = {};
    const DWORD timeScale = GetEnvironmentVariableA("RUVENKAL_TIME_SCALE", scale, sizeof scale) > 0
                                ? std::atoi(scale)
                                : 1;
    const DWORD limit = 10000 * (timeScale > 0 ? timeScale : 1);
    HANDLE thread = CreateThread(nullptr, 0, &RunWork<Work>, &work, 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    const DWORD start = GetTickCount();
    bool ended = false;
    for (DWORD waited = 0; !ended && waited < limit; waited = GetTickCount() - start) {
        const DWORD woke =
            MsgWaitForMultipleObjects(1, &thread, FALSE, limit - waited, QS_SENDMESSAGE);
        ended = woke == WAIT_OBJECT_0;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (!ended) {
        TerminateThread(thread, 1);
    }
    CloseHandle(thread);
    return ended;
}

// Main thread only: from another thread both refuse, and neither the buffer handed in, the
// settings, the dialog nor the file change.
TEST_P(ScriptApi, OtherThreadsGetFalseAndTouchNothing) {
    HostOptions options;
    options.iniText = kStoredIni;
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    ASSERT_TRUE(standin::RunCommand(kShowConfig));
    const std::string fileBefore = ReadTextFile(standin::IniPath());
    bool got = true;
    bool set = true;
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    auto calls = [&] {
        got = Get(GetParam(), "scale", buffer, sizeof buffer);
        set = Set(GetParam(), "scale", "0.5");
    };
    ASSERT_TRUE(RunOnAnotherThread(calls))
        << "a call from another thread waited on the main thread: it must refuse at once";
    EXPECT_FALSE(got);
    EXPECT_FALSE(set);
    EXPECT_EQ(std::string(sizeof buffer, 'x'), std::string(buffer, sizeof buffer));
    EXPECT_EQ("0.300000", Text(GetParam(), "scale"));
    char shown[32] = {};
    GetDlgItemTextA(FindConfigDialog(), 1000, shown, sizeof shown);
    EXPECT_STREQ("0.300000", shown);
    EXPECT_EQ(fileBefore, ReadTextFile(standin::IniPath()));
    // The main thread still may.
    EXPECT_TRUE(Set(GetParam(), "scale", "0.5"));
}

INSTANTIATE_TEST_SUITE_P(Callers, ScriptApi, ::testing::Values(Caller::Direct, Caller::ReaScript),
                         [](const ::testing::TestParamInfo<Caller>& caller) {
                             return caller.param == Caller::Direct ? "Direct" : "ReaScript";
                         });

using ScriptApiRegistration = HostTest;

// The host builds ReaScript's bindings from the definitions: four NUL-ended parts.
std::vector<std::string> DefinitionParts(const std::string& key) {
    const char* text = static_cast<const char*>(standin::RegisteredItem(key));
    std::vector<std::string> parts;
    for (int i = 0; text != nullptr && i < 4; ++i) {
        parts.push_back(text);
        text += parts.back().size() + 1;
    }
    return parts;
}

TEST_F(ScriptApiRegistration, DefinitionsDescribeBothFunctions) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const std::vector<std::string> get = DefinitionParts("APIdef_Ruvenkal_GetSetting");
    const std::vector<std::string> set = DefinitionParts("APIdef_Ruvenkal_SetSetting");
    ASSERT_EQ(4u, get.size());
    ASSERT_EQ(4u, set.size());
    EXPECT_EQ("bool", get[0]);
    EXPECT_EQ("const char*,char*,int", get[1]);
    EXPECT_EQ("key,valueOut,valueOut_sz", get[2]);
    EXPECT_EQ("bool", set[0]);
    EXPECT_EQ("const char*,const char*", set[1]);
    EXPECT_EQ("key,value", set[2]);
    // The help lists every key.
    for (const char* key : kKeys) {
        EXPECT_NE(std::string::npos, get[3].find(key)) << key;
        EXPECT_NE(std::string::npos, set[3].find(key)) << key;
    }
}

TEST_F(ScriptApiRegistration, WrappersGivenTooFewArgumentsDoNothing) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    auto get = Registered<Vararg>("APIvararg_Ruvenkal_GetSetting");
    auto set = Registered<Vararg>("APIvararg_Ruvenkal_SetSetting");
    ASSERT_NE(nullptr, get);
    ASSERT_NE(nullptr, set);
    char buffer[16] = "untouched";
    void* getArguments[] = {const_cast<char*>("scale"), buffer, Argument(sizeof buffer)};
    void* setArguments[] = {const_cast<char*>("scale"), const_cast<char*>("0.5")};
    EXPECT_EQ(nullptr, get(getArguments, 2));
    EXPECT_EQ(nullptr, set(setArguments, 1));
    EXPECT_EQ(nullptr, set(nullptr, 2));
    EXPECT_STREQ("untouched", buffer);
    EXPECT_EQ("0.100000", Text(Caller::Direct, "scale"));
}

TEST_F(ScriptApiRegistration, UnloadCallRemovesAllSix) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    for (const char* name : {"Ruvenkal_GetSetting", "Ruvenkal_SetSetting"}) {
        for (const char* prefix : {"API_", "APIdef_", "APIvararg_"}) {
            EXPECT_EQ(nullptr, standin::RegisteredItem(std::string(prefix) + name))
                << prefix << name;
        }
        EXPECT_EQ(nullptr, standin::LookUpFunction(name));
    }
}

}  // namespace
