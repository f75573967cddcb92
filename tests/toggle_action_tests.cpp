// The "Ruvenkal Extension : Toggle zoom drag" action: its registrations, the state it reports for
// toolbar buttons, and what switching does to a drag, the saved file and an open dialog.
#include <optional>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;
using Keys = std::vector<std::string>;

namespace {

constexpr int kEnabledBox = 1005;
const char kDefaultFile[] = "[ruvenkal]\r\nscale=0.100000\r\nmask=3\r\n";

Keys RegisteredKeys() {
    Keys keys;
    for (const standin::Registration& r : Record().registrations) {
        keys.push_back(r.key);
    }
    return keys;
}

struct RegistrationCase {
    const char* name;
    int toggleCommandId;
    Keys attached;
    Keys unloaded;
};

// The menu's hook, the dialog's keys and the functions for scripts come after both actions.
const Keys kScriptApi = {"API_Ruvenkal_GetSetting",       "APIdef_Ruvenkal_GetSetting",
                         "APIvararg_Ruvenkal_GetSetting", "API_Ruvenkal_SetSetting",
                         "APIdef_Ruvenkal_SetSetting",    "APIvararg_Ruvenkal_SetSetting"};

Keys Then(Keys first, const Keys& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

Keys Removed(const Keys& keys) {
    Keys removed;
    for (const std::string& key : keys) {
        removed.push_back("-" + key);
    }
    return removed;
}

const Keys kBoth = Then({"command_id", "gaccel", "hookcommand", "command_id", "gaccel",
                         "toggleaction", "hookcustommenu", "accelerator"},
                        kScriptApi);
const Keys kBothRemoved = Then(
    Removed(kScriptApi),
    {"-accelerator", "-hookcommand", "-gaccel", "-toggleaction", "-gaccel", "-hookcustommenu"});

const RegistrationCase kRegistrationCases[] = {
    {"WithToggle", kToggle, kBoth, kBothRemoved},
    {"IdentifierBeyond16Bits", 0x12345, kBoth, kBothRemoved},
    {"NegativeIdentifier", -7, kBoth, kBothRemoved},
    // The host had no identifier for the toggle: Show Config alone, and the entry still succeeds.
    {"NoIdentifierForTheToggle", 0,
     Then({"command_id", "gaccel", "hookcommand", "command_id", "hookcustommenu", "accelerator"},
          kScriptApi),
     Then(Removed(kScriptApi), {"-accelerator", "-hookcommand", "-gaccel", "-hookcustommenu"})},
};

class ToggleRegistration : public HostTest,
                           public ::testing::WithParamInterface<RegistrationCase> {};

TEST_P(ToggleRegistration, FollowsShowConfigAndIsRemovedAtUnload) {
    const RegistrationCase& c = GetParam();
    HostOptions options;
    options.toggleCommandId = c.toggleCommandId;
    // Without the host's view functions, so that no undo and redo actions follow the toggle.
    options.withheldFunctions = {"GetSet_ArrangeView2"};
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    ASSERT_EQ(c.attached, RegisteredKeys());
    EXPECT_STREQ("RUVENKAL_TOGGLE", static_cast<const char*>(Record().registrations[3].item));
    if (c.toggleCommandId != 0) {
        const auto* accel =
            static_cast<const standin::AccelRegister*>(Record().registrations[4].item);
        EXPECT_NE(Record().registrations[1].item, accel) << "each action needs its own record";
        EXPECT_EQ(0, accel->accel.fVirt);
        EXPECT_EQ(0, accel->accel.key);
        EXPECT_EQ(c.toggleCommandId & 0xFFFF, accel->accel.cmd);
        EXPECT_STREQ("Ruvenkal Extension : Toggle zoom drag", accel->description);
        EXPECT_EQ(1, standin::ToggleState(c.toggleCommandId));
        EXPECT_TRUE(standin::RunCommand(c.toggleCommandId));
    } else {
        EXPECT_EQ(std::nullopt, standin::ToggleState(0));
        EXPECT_FALSE(standin::RunCommand(0));  // the host's command 0 is not the missing toggle
    }
    EXPECT_TRUE(standin::RunCommand(kShowConfig));

    Record().registrations.clear();
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_EQ(c.unloaded, RegisteredKeys());
    EXPECT_EQ(nullptr, standin::RegisteredItem("gaccel"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("toggleaction"));
}

INSTANTIATE_TEST_SUITE_P(Hosts, ToggleRegistration, ::testing::ValuesIn(kRegistrationCases),
                         CaseName());

using ToggleAction = HostTest;

TEST_F(ToggleAction, AnswersForItsOwnCommandOnly) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    struct Answer {
        int command;
        int whenOn, whenOff;
    };
    const Answer answers[] = {
        {kToggle, 1, 0},       {kShowConfig, -1, -1},       {0, -1, -1},
        {kToggle + 1, -1, -1}, {kToggle + 0x10000, -1, -1}, {-kToggle, -1, -1}};
    for (const Answer& a : answers) {
        EXPECT_EQ(a.whenOn, standin::ToggleState(a.command)) << a.command;
    }
    EXPECT_TRUE(standin::RunCommand(kToggle));
    for (const Answer& a : answers) {
        EXPECT_EQ(a.whenOff, standin::ToggleState(a.command)) << a.command;
    }
}

TEST_F(ToggleAction, SwitchingOffEndsTheDragAndSaves) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    standin::SendMouse(WM_LBUTTONDOWN, 100, 15);
    standin::SendMouse(WM_MOUSEMOVE, 100, 17, MK_LBUTTON);
    ASSERT_EQ(1u, Record().zoomCalls.size());

    EXPECT_TRUE(standin::RunCommand(kToggle));
    EXPECT_EQ(std::string(kDefaultFile) + "enabled=0\r\n", ReadTextFile(standin::IniPath()));
    // The rest of the drag reaches the time display as without the module.
    Record().timeDisplayMessages.clear();
    standin::SendMouse(WM_MOUSEMOVE, 103, 21, MK_LBUTTON);
    EXPECT_EQ(standin::MousePosition(103, 21), Record().timeDisplayMessages[0].lParam);
    standin::SendMouse(WM_LBUTTONUP, 103, 21);
    EXPECT_FALSE(ObserveGestureSettings().zooms);
    EXPECT_EQ(1u, Record().zoomCalls.size());

    // Back on: the key goes, since on is what a file without it means.
    EXPECT_TRUE(standin::RunCommand(kToggle));
    EXPECT_EQ(kDefaultFile, ReadTextFile(standin::IniPath()));
    EXPECT_TRUE(ObserveGestureSettings().zooms);
}

TEST_F(ToggleAction, StoredOffStartsOffAndKeepsTheHalves) {
    HostOptions options;
    options.iniText = "[ruvenkal]\r\nscale=0.5\r\nmask=2\r\nenabled=0\r\n";
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    EXPECT_EQ(0, standin::ToggleState(kToggle));
    const HalfAmounts off = ZoomPerPixelInEachHalf();
    EXPECT_TRUE(std::isnan(off.upper));
    EXPECT_TRUE(std::isnan(off.lower));

    EXPECT_TRUE(standin::RunCommand(kToggle));
    const HalfAmounts on = ZoomPerPixelInEachHalf();
    EXPECT_TRUE(std::isnan(on.upper));
    EXPECT_EQ(0.5, on.lower);
    EXPECT_EQ("[ruvenkal]\r\nscale=0.500000\r\nmask=2\r\n", ReadTextFile(standin::IniPath()));
}

struct RefreshCase {
    const char* name;
    bool offered;
    int toggleCommandId;
    Keys events;  // what the host sees of one toggle
};

const RefreshCase kRefreshCases[] = {
    {"Offered", true, kToggle, {"call RefreshToolbar2 0 41001"}},
    {"OfferedWithALargeIdentifier", true, 0x12345, {"call RefreshToolbar2 0 74565"}},
    {"NotOffered", false, kToggle, {}},
};

class ToolbarRefresh : public HostTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(ToolbarRefresh, FollowsEachToggleWhenTheHostHasIt) {
    HostOptions options;
    options.toggleCommandId = GetParam().toggleCommandId;
    if (!GetParam().offered) {
        options.withheldFunctions = {"RefreshToolbar2"};
    }
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    Record().events.clear();

    EXPECT_TRUE(standin::RunCommand(GetParam().toggleCommandId));
    EXPECT_EQ(GetParam().events, Record().events);
    EXPECT_EQ(0, standin::ToggleState(GetParam().toggleCommandId));
}

INSTANTIATE_TEST_SUITE_P(Hosts, ToolbarRefresh, ::testing::ValuesIn(kRefreshCases), CaseName());

// Closing the dialog applies its box: a toggle while it is open has to show in it.
TEST_F(ToggleAction, SetsTheOpenDialogsBox) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    ASSERT_TRUE(standin::RunCommand(kShowConfig));
    HWND dialog = FindConfigDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog, kEnabledBox));

    EXPECT_TRUE(standin::RunCommand(kToggle));
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(dialog, kEnabledBox));
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0, standin::ToggleState(kToggle));
    EXPECT_FALSE(ObserveGestureSettings().zooms);

    // And the box, ticked again in the dialog, switches it back on.
    ASSERT_TRUE(standin::RunCommand(kShowConfig));
    CheckDlgButton(dialog, kEnabledBox, BST_CHECKED);
    Record().events.clear();
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(1, standin::ToggleState(kToggle));
    EXPECT_EQ(Keys{"call RefreshToolbar2 0 41001"}, Record().events);
    EXPECT_EQ(kDefaultFile, ReadTextFile(standin::IniPath()));
}

}  // namespace
