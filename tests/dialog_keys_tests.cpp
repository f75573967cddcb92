// The dialog's keys through the host's message loop, which offers keystrokes to the module's
// "accelerator" and never calls IsDialogMessage itself; unclaimed, the space bar plays.
#include <algorithm>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::Record;

namespace {

constexpr int kScale = 1000;

bool Played() {
    const auto& events = Record().events;
    return std::find(events.begin(), events.end(), "play") != events.end();
}

// A key pressed and released on `window`, as the system posts it, run through the host's loop.
void PressKey(HWND window, WPARAM key) {
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), 0)) << 16;
    PostMessageA(window, WM_KEYDOWN, key, scanCode | 1);
    PostMessageA(window, WM_KEYUP, key, scanCode | 0xC0000001);
    standin::PumpMessages();
}

auto* Accelerator() {
    return static_cast<standin::AcceleratorRegister*>(standin::RegisteredItem("accelerator"));
}

class DialogKeys : public HostTest {
protected:
    // Attaches, opens the dialog and puts the focus in the scale field, with `text` in it and
    // the caret at its end.
    static HWND OpenWithScale(const char* text) {
        Attach();
        EXPECT_TRUE(standin::RunCommand(kShowConfig));
        HWND dialog = FindConfigDialog();
        EXPECT_NE(nullptr, dialog);
        SetDlgItemTextA(dialog, kScale, text);
        HWND field = GetDlgItem(dialog, kScale);
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0x7FFF, 0x7FFF);
        return dialog;
    }
};

TEST_F(DialogKeys, EnterAndEscapeInTheScaleFieldApplySaveAndHide) {
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        HWND dialog = OpenWithScale("0.5");
        PressKey(GetDlgItem(dialog, kScale), key);

        EXPECT_FALSE(IsWindowVisible(dialog));
        EXPECT_EQ(0.5, ZoomPerPixelInEachHalf().upper);
        EXPECT_EQ("[ruvenkal]\r\nscale=0.500000\r\nmask=3\r\n", ReadTextFile(standin::IniPath()));
        EXPECT_FALSE(Played());
        standin::Stop();
    }
}

TEST_F(DialogKeys, TabMovesTheFocusToTheNextControl) {
    HWND dialog = OpenWithScale("0.1");
    HWND field = GetDlgItem(dialog, kScale);
    ASSERT_EQ(field, GetFocus());
    HWND next = GetNextDlgTabItem(dialog, field, FALSE);
    ASSERT_NE(field, next);

    PressKey(field, VK_TAB);
    EXPECT_EQ(next, GetFocus());
    EXPECT_TRUE(IsWindowVisible(dialog));
}

// The same key on the host's own window runs its shortcut: the field's space is not lost to it.
TEST_F(DialogKeys, SpaceTypedInAFieldReachesItAndDoesNotPlay) {
    HWND dialog = OpenWithScale("0.5");
    PressKey(GetDlgItem(dialog, kScale), VK_SPACE);
    char text[32] = {};
    GetDlgItemTextA(dialog, kScale, text, sizeof text);
    EXPECT_STREQ("0.5 ", text);
    EXPECT_FALSE(Played());

    PressKey(standin::MainWindow(), VK_SPACE);
    EXPECT_TRUE(Played());
}

// What the module answers for a key, by the window it is for and the dialog's state.
TEST_F(DialogKeys, ClaimsKeysOnlyForTheShownDialog) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    auto* accelerator = Accelerator();
    ASSERT_NE(nullptr, accelerator);
    EXPECT_TRUE(accelerator->isLocal);
    MSG key = {standin::MainWindow(), WM_KEYDOWN, 'A', 1, 0, {0, 0}};
    EXPECT_EQ(0, accelerator->translateAccel(&key, accelerator)) << "no dialog yet";

    ASSERT_TRUE(standin::RunCommand(kShowConfig));
    HWND dialog = FindConfigDialog();
    HWND field = GetDlgItem(dialog, kScale);
    SetFocus(field);
    const struct {
        const char* name;
        HWND window;
        bool shown;
        int expected;
    } cases[] = {
        {"main window, dialog shown", standin::MainWindow(), true, 0},
        {"time display, dialog shown", standin::TimeDisplay(), true, 0},
        {"letter in the field", field, true, 1},
        {"field, dialog hidden", field, false, 0},
        {"dialog, dialog hidden", dialog, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShowWindow(dialog, c.shown ? SW_SHOW : SW_HIDE);
        key.hwnd = c.window;
        EXPECT_EQ(c.expected, accelerator->translateAccel(&key, accelerator));
    }
    EXPECT_EQ(0, accelerator->translateAccel(nullptr, accelerator)) << "no message";
}

// Which keys stay in the dialog (1, through the dialog manager) and which go to the host's
// actions: -667 from a text field, which -666 would not reach, and -666 from other controls.
struct KeyCase {
    const char* name;
    int control;  // where the focus is
    UINT message;
    WPARAM key;
    bool ctrl, shift, alt;
    int expected;
};

constexpr int kUpperBox = 1001;
constexpr int kFocusList = 1003;
constexpr int kStays = 1;
constexpr int kToHost = -666;
constexpr int kToHostFromText = -667;

const KeyCase kKeyCases[] = {
    // The dialog's own keys, from any control.
    {"Tab", kScale, WM_KEYDOWN, VK_TAB, false, false, false, kStays},
    {"ShiftTab", kUpperBox, WM_KEYDOWN, VK_TAB, false, true, false, kStays},
    {"DownInTheList", kFocusList, WM_KEYDOWN, VK_DOWN, false, false, false, kStays},
    {"AltLetter", kScale, WM_SYSKEYDOWN, 'S', false, false, true, kStays},
    {"AltLetterOnABox", kUpperBox, WM_SYSKEYDOWN, 'L', false, false, true, kStays},
    // A text field keeps what types, moves and edits.
    {"Letter", kScale, WM_KEYDOWN, 'Q', false, false, false, kStays},
    {"Digit", kScale, WM_KEYDOWN, '5', false, false, false, kStays},
    {"Space", kScale, WM_KEYDOWN, VK_SPACE, false, false, false, kStays},
    {"FullStop", kScale, WM_KEYDOWN, VK_OEM_PERIOD, false, false, false, kStays},
    {"Backspace", kScale, WM_KEYDOWN, VK_BACK, false, false, false, kStays},
    {"CtrlBackspace", kScale, WM_KEYDOWN, VK_BACK, true, false, false, kStays},
    {"Delete", kScale, WM_KEYDOWN, VK_DELETE, false, false, false, kStays},
    {"ShiftHome", kScale, WM_KEYDOWN, VK_HOME, false, true, false, kStays},
    {"CtrlEnd", kScale, WM_KEYDOWN, VK_END, true, false, false, kStays},
    {"CtrlShiftLeft", kScale, WM_KEYDOWN, VK_LEFT, true, true, false, kStays},
    {"CtrlA", kScale, WM_KEYDOWN, 'A', true, false, false, kStays},
    {"CtrlC", kScale, WM_KEYDOWN, 'C', true, false, false, kStays},
    {"CtrlV", kScale, WM_KEYDOWN, 'V', true, false, false, kStays},
    {"CtrlX", kScale, WM_KEYDOWN, 'X', true, false, false, kStays},
    {"CtrlZ", kScale, WM_KEYDOWN, 'Z', true, false, false, kStays},
    {"AltGrCharacter", kScale, WM_KEYDOWN, 'Q', true, false, true, kStays},
    {"ShiftInsertPastes", kScale, WM_KEYDOWN, VK_INSERT, false, true, false, kStays},
    {"CtrlInsertCopies", kScale, WM_KEYDOWN, VK_INSERT, true, false, false, kStays},
    {"ShiftDeleteCuts", kScale, WM_KEYDOWN, VK_DELETE, false, true, false, kStays},
    {"ContextMenuKey", kScale, WM_KEYDOWN, VK_APPS, false, false, false, kStays},
    {"ShiftF10", kScale, WM_SYSKEYDOWN, VK_F10, false, true, false, kStays},
    {"KeyUpOfAnFKey", kScale, WM_KEYUP, VK_F5, false, false, false, kStays},
    // The rest of the shortcuts are the host's, even from the text field.
    {"CtrlSInTheField", kScale, WM_KEYDOWN, 'S', true, false, false, kToHostFromText},
    {"CtrlShiftSInTheField", kScale, WM_KEYDOWN, 'S', true, true, false, kToHostFromText},
    {"CtrlB", kScale, WM_KEYDOWN, 'B', true, false, false, kToHostFromText},
    {"F1InTheField", kScale, WM_KEYDOWN, VK_F1, false, false, false, kToHostFromText},
    {"ShiftF24InTheField", kScale, WM_KEYDOWN, VK_F24, false, true, false, kToHostFromText},
    {"F10InTheField", kScale, WM_SYSKEYDOWN, VK_F10, false, false, false, kToHostFromText},
    {"CtrlF10InTheField", kScale, WM_SYSKEYDOWN, VK_F10, true, false, false, kToHostFromText},
    {"InsertInTheField", kScale, WM_KEYDOWN, VK_INSERT, false, false, false, kToHostFromText},
    // A check box keeps the space bar, which is the host's elsewhere; controls keep plain keys.
    {"SpaceOnABox", kUpperBox, WM_KEYDOWN, VK_SPACE, false, false, false, kStays},
    {"LetterOnABox", kUpperBox, WM_KEYDOWN, 'Q', false, false, false, kStays},
    {"LetterInTheList", kFocusList, WM_KEYDOWN, 'E', false, false, false, kStays},
    {"CtrlSOnABox", kUpperBox, WM_KEYDOWN, 'S', true, false, false, kToHost},
    {"CtrlSpaceOnABox", kUpperBox, WM_KEYDOWN, VK_SPACE, true, false, false, kToHost},
    {"F5OnABox", kUpperBox, WM_KEYDOWN, VK_F5, false, false, false, kToHost},
    {"AltF4OnABox", kUpperBox, WM_SYSKEYDOWN, VK_F4, false, false, true, kToHost},
    {"SpaceInTheList", kFocusList, WM_KEYDOWN, VK_SPACE, false, false, false, kToHost},
    {"CtrlSInTheList", kFocusList, WM_KEYDOWN, 'S', true, false, false, kToHost},
    {"F12InTheList", kFocusList, WM_KEYDOWN, VK_F12, false, false, false, kToHost},
    {"F1OnABox", kUpperBox, WM_KEYDOWN, VK_F1, false, false, false, kToHost},
    {"F24InTheList", kFocusList, WM_KEYDOWN, VK_F24, false, false, false, kToHost},
};

class DialogKey : public DialogKeys, public ::testing::WithParamInterface<KeyCase> {};

// A key that opens the field's context menu (Shift+F10) enters the menu's own loop: this ends it.
void CALLBACK CloseMenus(HWND, UINT, UINT_PTR, DWORD) {
    EndMenu();
}

TEST_P(DialogKey, GoesWhereTheHostsOwnWindowsSendIt) {
    const KeyCase& c = GetParam();
    HWND dialog = OpenWithScale("0.1");
    HWND control = GetDlgItem(dialog, c.control);
    SetFocus(control);
    standin::HoldKey(VK_CONTROL, c.ctrl);
    standin::HoldKey(VK_SHIFT, c.shift);
    standin::HoldKey(VK_MENU, c.alt);
    MSG key = {control, c.message, c.key, 1, 0, {0, 0}};
    const UINT_PTR menuGuard = SetTimer(nullptr, 0, 200, &CloseMenus);
    EXPECT_EQ(c.expected, Accelerator()->translateAccel(&key, Accelerator()));
    KillTimer(nullptr, menuGuard);
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogKey, ::testing::ValuesIn(kKeyCases), CaseName());

// Through the host's loop: what goes to the host runs its shortcut, what stays never does.
TEST_F(DialogKeys, TheHostsShortcutsRunFromTheDialog) {
    HWND dialog = OpenWithScale("0.1");
    PressKey(GetDlgItem(dialog, kScale), VK_F5);
    standin::HoldKey(VK_CONTROL, true);
    PressKey(GetDlgItem(dialog, kScale), 'A');
    PressKey(GetDlgItem(dialog, kUpperBox), 'S');
    standin::HoldKey(VK_CONTROL, false);
    const auto& events = Record().events;
    const std::vector<std::string> shortcuts(std::find(events.begin(), events.end(), "shortcut F5"),
                                             events.end());
    EXPECT_EQ((std::vector<std::string>{"shortcut F5", "shortcut Ctrl+S"}), shortcuts);
    EXPECT_TRUE(IsWindowVisible(dialog));
}

// A key for the host never reaches the dialog as well: F4 would drop the list down.
TEST_F(DialogKeys, AKeyForTheHostLeavesTheDialogAsItIs) {
    HWND dialog = OpenWithScale("0.1");
    HWND list = GetDlgItem(dialog, kFocusList);
    SetFocus(list);
    PressKey(list, VK_F4);
    const auto& events = Record().events;
    EXPECT_NE(events.end(), std::find(events.begin(), events.end(), "shortcut F4"));
    EXPECT_EQ(FALSE, SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(list, GetFocus());
}

// The stand-in removes a registration only when given the same record again.
TEST_F(DialogKeys, UnloadCallRemovesTheRecord) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    ASSERT_NE(nullptr, Accelerator());
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_EQ(nullptr, Accelerator());
}

}  // namespace
