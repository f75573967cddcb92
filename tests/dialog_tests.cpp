// The "Ruvenkal Extension : Show Config" action and its dialog, run through the host's command
// hook and closed the ways a user closes it.
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;

namespace {

constexpr int kCommandId = 41000;
constexpr int kUpper = 1001;
constexpr int kLower = 1002;
constexpr int kScale = 1000;

int CountConfigDialogs() {
    int count = 0;
    for (HWND w = FindConfigDialog(); w != nullptr;
         w = FindWindowExA(nullptr, w, reinterpret_cast<LPCSTR>(32770), "Ruvenkal config")) {
        ++count;
    }
    return count;
}

std::string Text(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// A drop-down list's items, in order.
std::vector<std::string> ListItems(HWND dialog, int id) {
    std::vector<std::string> items;
    const LRESULT count = SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char item[64] = {};
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

class ConfigAction : public HostTest {
protected:
    // Attaches and runs the action; the dialog must then be shown.
    static HWND Open(const HostOptions& options = {}) {
        Attach(options);
        EXPECT_TRUE(standin::RunCommand(kCommandId));
        HWND dialog = FindConfigDialog();
        EXPECT_NE(nullptr, dialog);
        EXPECT_TRUE(IsWindowVisible(dialog));
        return dialog;
    }
};

TEST_F(ConfigAction, RegistersTheCommandAndTheActionRecord) {
    HostOptions options;
    options.commandId = 0x12345;
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    ASSERT_GE(Record().registrations.size(), 3u);
    EXPECT_EQ("command_id", Record().registrations[0].key);
    EXPECT_STREQ("RUVENKAL", static_cast<const char*>(Record().registrations[0].item));
    EXPECT_EQ("gaccel", Record().registrations[1].key);
    EXPECT_EQ("hookcommand", Record().registrations[2].key);

    const auto* accel = static_cast<const standin::AccelRegister*>(Record().registrations[1].item);
    ASSERT_NE(nullptr, accel);
    EXPECT_EQ(0, accel->accel.fVirt);
    EXPECT_EQ(0, accel->accel.key);
    EXPECT_EQ(0x2345, accel->accel.cmd);  // the low 16 bits of the command identifier
    EXPECT_STREQ("Ruvenkal Extension : Show Config", accel->description);
}

TEST_F(ConfigAction, NegativeCommandIdIsAccepted) {
    HostOptions options;
    options.commandId = -5;
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    const auto* accel = static_cast<const standin::AccelRegister*>(Record().registrations[1].item);
    ASSERT_NE(nullptr, accel);
    EXPECT_EQ(0xFFFB, accel->accel.cmd);
    EXPECT_TRUE(standin::RunCommand(-5));
    EXPECT_NE(nullptr, FindConfigDialog());
}

TEST_F(ConfigAction, OtherCommandsAreNotOurs) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    for (int command : {0, 1, kCommandId - 1, kCommandId + 4, kCommandId + 0x10000, -kCommandId}) {
        EXPECT_FALSE(standin::RunCommand(command)) << command;
    }
    EXPECT_EQ(nullptr, FindConfigDialog());
}

TEST_F(ConfigAction, RunningItAgainKeepsOneDialog) {
    HWND dialog = Open();
    EXPECT_TRUE(standin::RunCommand(kCommandId));
    EXPECT_TRUE(standin::RunCommand(kCommandId));
    EXPECT_EQ(dialog, FindConfigDialog());
    EXPECT_EQ(1, CountConfigDialogs());
    EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST_F(ConfigAction, ShowsTheSettingsAndIsOwnedByTheMainWindow) {
    HostOptions options;
    options.iniText = "[ruvenkal]\r\nscale=-0.25\r\nmask=2\r\n";
    HWND dialog = Open(options);

    EXPECT_EQ(standin::MainWindow(), GetWindow(dialog, GW_OWNER));
    EXPECT_EQ("-0.250000", Text(dialog, kScale));
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(dialog, kUpper));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog, kLower));
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ("Ruvenkal config", caption);
    EXPECT_EQ("Upper half of time display", Text(dialog, kUpper));
    EXPECT_EQ("Lower half of time display", Text(dialog, kLower));

    // Which version is loaded, from the same place as the version resource's.
    EXPECT_EQ("Ruvenkal " RUVENKAL_VERSION, Text(dialog, 1007));

    // The client area is the template's 125 x 243 dialog units.
    RECT units = {0, 0, 125, 243};
    ASSERT_TRUE(MapDialogRect(dialog, &units));
    RECT client = {};
    GetClientRect(dialog, &client);
    EXPECT_EQ(units.right, client.right);
    EXPECT_EQ(units.bottom, client.bottom);
}

TEST_F(ConfigAction, IsCentredOverTheMainWindow) {
    HostOptions options;
    options.mainWindowRect = {600, 400, 1400, 1000};
    HWND dialog = Open(options);

    RECT main = {};
    RECT own = {};
    GetWindowRect(standin::MainWindow(), &main);
    GetWindowRect(dialog, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    EXPECT_EQ(main.left + (main.right - main.left - width) / 2, own.left);
    EXPECT_EQ(main.top + (main.bottom - main.top - height) / 2, own.top);
}

// The action may run while the main window is minimised (from a global shortcut or a script) or
// mostly off screen: the dialog still opens wholly on the monitor's work area.
enum class MainWindowState { Normal, Minimised, MinimisedFromMaximised };

struct PlacementCase {
    const char* name;
    RECT mainWindow;
    MainWindowState state;
};

const PlacementCase kPlacements[] = {
    {"OffScreenAboveAndLeft", {-3000, -2000, -2200, -1400}, MainWindowState::Normal},
    {"MostlyOffScreenRightAndBelow", {1100, 900, 1900, 1500}, MainWindowState::Normal},
    {"Minimised", {600, 400, 1400, 1000}, MainWindowState::Minimised},
    // Restored, it will fill the work area: the dialog goes to the work area's centre.
    {"MinimisedFromMaximised", {600, 400, 1400, 1000}, MainWindowState::MinimisedFromMaximised},
};

class Placement : public ConfigAction, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(Placement, KeepsTheDialogOnTheWorkArea) {
    HostOptions options;
    options.mainWindowRect = GetParam().mainWindow;
    ASSERT_TRUE(standin::Start(options));
    ASSERT_EQ(1, standin::CallEntry());
    const MainWindowState state = GetParam().state;
    if (state == MainWindowState::MinimisedFromMaximised) {
        ShowWindow(standin::MainWindow(), SW_MAXIMIZE);
    }
    if (state != MainWindowState::Normal) {
        // Far off screen, or with a desktop at its bottom, as an icon.
        ShowWindow(standin::MainWindow(), SW_SHOWMINNOACTIVE);
        ASSERT_TRUE(IsIconic(standin::MainWindow()));
        RECT now = {};
        GetWindowRect(standin::MainWindow(), &now);
        ASSERT_NE(GetParam().mainWindow.left, now.left);
    }
    ASSERT_TRUE(standin::RunCommand(kCommandId));
    HWND dialog = FindConfigDialog();
    ASSERT_NE(nullptr, dialog);

    RECT own = {};
    GetWindowRect(dialog, &own);
    const RECT work = WorkAreaOf(dialog);
    EXPECT_GE(own.left, work.left);
    EXPECT_GE(own.top, work.top);
    EXPECT_LE(own.right, work.right);
    EXPECT_LE(own.bottom, work.bottom);
    if (state == MainWindowState::MinimisedFromMaximised) {
        EXPECT_EQ(work.left + (work.right - work.left - (own.right - own.left)) / 2, own.left);
        EXPECT_EQ(work.top + (work.bottom - work.top - (own.bottom - own.top)) / 2, own.top);
    }
    if (state == MainWindowState::Minimised) {
        // Centred over where the window will be restored.
        const RECT& main = GetParam().mainWindow;
        EXPECT_EQ(main.left + (main.right - main.left - (own.right - own.left)) / 2, own.left);
        EXPECT_EQ(main.top + (main.bottom - main.top - (own.bottom - own.top)) / 2, own.top);
    }
}

INSTANTIATE_TEST_SUITE_P(MainWindows, Placement, ::testing::ValuesIn(kPlacements), CaseName());

// In a dark theme the host's main window answers the colour messages: the dialog's answer to
// each is the main window's, brush and colours.
TEST_F(ConfigAction, TakesItsColoursFromTheHostsTheme) {
    HostOptions options;
    options.darkTheme = true;
    HWND dialog = Open(options);

    const UINT messages[] = {WM_CTLCOLORDLG,  WM_CTLCOLORSTATIC,  WM_CTLCOLORBTN,
                             WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORSCROLLBAR};
    for (UINT message : messages) {
        SCOPED_TRACE(message);
        HWND control = message == WM_CTLCOLORDLG ? dialog : GetDlgItem(dialog, kUpper);
        HDC dc = GetDC(control);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        const LRESULT brush = SendMessageW(dialog, message, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control));
        EXPECT_EQ(reinterpret_cast<LRESULT>(standin::ThemeBrush()), brush);
        EXPECT_EQ(standin::kThemeText, GetTextColor(dc));
        EXPECT_EQ(standin::kThemeBackground, GetBkColor(dc));
        ReleaseDC(control, dc);
    }
}

// With the host's Common Controls 6, the controls that would paint the style's colours over the
// theme's lose their style; edit fields, which take the theme's colours anyway, keep it. The
// version line is an ordinary label, so it is drawn in the theme's text colour too.
TEST_F(ConfigAction, DropsTheVisualStylesThatHideTheHostsColours) {
    HostOptions options;
    options.visualStyles = true;
    options.darkTheme = true;
    HWND dialog = Open(options);
    HMODULE uxtheme = GetModuleHandleW(L"uxtheme.dll");
    ASSERT_NE(nullptr, uxtheme) << "Common Controls 6 draw through uxtheme.dll";
    auto getWindowTheme = reinterpret_cast<HANDLE(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "GetWindowTheme")));
    ASSERT_NE(nullptr, getWindowTheme);

    int edits = 0;
    int styleless = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(control, className, sizeof className);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        // A versioned class may come with its version before a '!'.
        std::string name = className;
        name = name.substr(name.find('!') + 1);
        SCOPED_TRACE(name + " " + std::to_string(GetDlgCtrlID(control)));
        if (name == "Edit") {
            ++edits;
            EXPECT_NE(nullptr, getWindowTheme(control));
        } else if (name == "ComboBox" ||
                   (name == "Button" && ((style & BS_TYPEMASK) == BS_GROUPBOX ||
                                         (style & BS_TYPEMASK) == BS_AUTOCHECKBOX))) {
            ++styleless;
            EXPECT_EQ(nullptr, getWindowTheme(control));
        }
    }
    EXPECT_EQ(3, edits);
    EXPECT_EQ(3 + 5 + 2, styleless);  // check boxes, group boxes, lists
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1007))) << "the version line";
}

TEST_F(ConfigAction, MaskMinusOneShowsBothAndSavesThree) {
    HostOptions options;
    options.iniText = "[ruvenkal]\r\nscale=0.1\r\nmask=-1\r\n";
    HWND dialog = Open(options);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog, kUpper));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog, kLower));

    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ("[ruvenkal]\r\nscale=0.100000\r\nmask=3\r\n", ReadTextFile(standin::IniPath()));
}

// Each way of closing applies and saves the same way.
enum class CloseBy { Ok, Cancel, CloseBox };

struct CloseCase {
    const char* name;
    CloseBy closeBy;
    const char* typed;  // scale text typed into the dialog
    bool clickUpper;    // toggles the box, which starts checked
    bool clickLower;
    double upperAmount;  // expected one-pixel zoom amounts afterwards, 0 for none
    double lowerAmount;
    const char* savedScale;  // the saved texts
    const char* savedMask;
};

const double kNone = std::nan("");

// Equal, or both NaN.
bool SameAmount(double expected, double got) {
    return expected == got || (std::isnan(expected) && std::isnan(got));
}

const CloseCase kCloseCases[] = {
    {"EnterApplies", CloseBy::Ok, "0.5", true, false, kNone, 0.5, "0.500000", "2"},
    {"EscapeApplies", CloseBy::Cancel, "0.5", false, true, 0.5, kNone, "0.500000", "1"},
    {"CloseBoxApplies", CloseBy::CloseBox, "0.5", false, false, 0.5, 0.5, "0.500000", "3"},
    {"BothBoxesClearedTurnsTheGestureOff", CloseBy::Ok, "0.5", true, true, kNone, kNone, "0.500000",
     "0"},
    {"NegativeScale", CloseBy::Ok, "-0.5", false, false, -0.5, -0.5, "-0.500000", "3"},
    {"TinyScaleSavesAsZero", CloseBy::Ok, "0.0000004", false, false,
     static_cast<double>(0.0000004f), static_cast<double>(0.0000004f), "0.000000", "3"},
    {"SevenDigitsSaveAsSix", CloseBy::Ok, "0.1234567", false, false,
     static_cast<double>(0.1234567f), static_cast<double>(0.1234567f), "0.123457", "3"},
    {"TrailingTextApplies", CloseBy::Ok, "0.25abc", false, false, 0.25, 0.25, "0.250000", "3"},
    {"TextWithoutNumberKeepsTheScale", CloseBy::Ok, "abc", false, false, static_cast<double>(0.1f),
     static_cast<double>(0.1f), "0.100000", "3"},
    {"InfinityKeepsTheScale", CloseBy::Ok, "inf", false, false, static_cast<double>(0.1f),
     static_cast<double>(0.1f), "0.100000", "3"},
    {"OverflowKeepsTheScale", CloseBy::Cancel, "1e39", false, false, static_cast<double>(0.1f),
     static_cast<double>(0.1f), "0.100000", "3"},
};

class ClosingTheDialog : public ConfigAction, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingTheDialog, AppliesAtOnceAndSaves) {
    const CloseCase& c = GetParam();
    HWND dialog = Open();

    SetDlgItemTextA(dialog, kScale, c.typed);
    if (c.clickUpper) {
        SendDlgItemMessageA(dialog, kUpper, BM_CLICK, 0, 0);
    }
    if (c.clickLower) {
        SendDlgItemMessageA(dialog, kLower, BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(IsWindowVisible(dialog));  // clicks don't close it

    switch (c.closeBy) {
        case CloseBy::Ok:
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            break;
        case CloseBy::Cancel:
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            break;
        case CloseBy::CloseBox:
            SendMessageA(dialog, WM_CLOSE, 0, 0);  // posts IDCANCEL
            standin::PumpMessages();
            break;
    }
    EXPECT_FALSE(IsWindowVisible(dialog));

    const HalfAmounts applied = ZoomPerPixelInEachHalf();
    EXPECT_PRED2(SameAmount, c.upperAmount, applied.upper);
    EXPECT_PRED2(SameAmount, c.lowerAmount, applied.lower);
    EXPECT_EQ(
        std::string("[ruvenkal]\r\nscale=") + c.savedScale + "\r\nmask=" + c.savedMask + "\r\n",
        ReadTextFile(standin::IniPath()));

    // Shown again, it shows what it held when closed.
    EXPECT_TRUE(standin::RunCommand(kCommandId));
    EXPECT_EQ(c.typed, Text(dialog, kScale));
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingTheDialog, ::testing::ValuesIn(kCloseCases), CaseName());

// The controls below the first release's: zoom focus, lock distance and the on/off box.
constexpr int kFocus = 1003;
constexpr int kLock = 1004;
constexpr int kEnabled = 1005;
constexpr int kModifier = 1006;

struct NewControlsCase {
    const char* name;
    int focusItem;           // chosen in the list
    const char* focusWords;  // that item's, REAPER's own for its zoom centre
    const char* lockText;
    bool clearEnabled;
    int focus;  // expected afterwards
    int lock;
    const char* savedTail;  // after scale and mask
};

const NewControlsCase kNewControlsCases[] = {
    {"AsSetInReaper", 0, "As set in REAPER", "0", false, -1, 0, ""},
    {"MouseCursor", 1, "Mouse cursor", "6", false, 3, 6, "focus=3\r\nlock=6\r\n"},
    {"EditCursor", 2, "Edit cursor", "64", false, 1, 64, "focus=1\r\nlock=64\r\n"},
    {"EditCursorOrPlayCursor", 3, "Edit cursor or play cursor", "1", false, 0, 1,
     "focus=0\r\nlock=1\r\n"},
    {"CenterOfView", 4, "Center of view", "0", false, 2, 0, "focus=2\r\n"},
    {"LockOutOfRangeIsIgnored", 0, "As set in REAPER", "65", false, -1, 0, ""},
    {"LockWithoutNumberIsIgnored", 0, "As set in REAPER", "", false, -1, 0, ""},
    {"LockPastedWithTextKeepsItsNumber", 0, "As set in REAPER", "12px", false, -1, 12,
     "lock=12\r\n"},
    {"Off", 1, "Mouse cursor", "6", true, 3, 6, "focus=3\r\nlock=6\r\nenabled=0\r\n"},
};

class NewControls : public ConfigAction, public ::testing::WithParamInterface<NewControlsCase> {};

TEST_P(NewControls, ApplySaveAndComeBackAfterARestart) {
    const NewControlsCase& c = GetParam();
    HWND dialog = Open();
    ASSERT_EQ(c.focusItem,
              SendDlgItemMessageA(dialog, kFocus, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(c.focusWords)));
    SendDlgItemMessageA(dialog, kFocus, CB_SETCURSEL, static_cast<WPARAM>(c.focusItem), 0);
    SetDlgItemTextA(dialog, kLock, c.lockText);
    if (c.clearEnabled) {
        SendDlgItemMessageA(dialog, kEnabled, BM_CLICK, 0, 0);
    }
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);

    const std::string saved = ReadTextFile(standin::IniPath());
    EXPECT_EQ(std::string("[ruvenkal]\r\nscale=0.100000\r\nmask=3\r\n") + c.savedTail, saved);
    const GestureSettings seen = ObserveGestureSettings();
    EXPECT_EQ(!c.clearEnabled, seen.zooms);
    if (seen.zooms) {
        EXPECT_EQ(c.focus, seen.focus);
        EXPECT_EQ(std::max(c.lock, 1), seen.firstZoomAfter);
    }

    HostOptions options;
    options.iniText = saved;
    HWND again = Open(options);
    EXPECT_EQ(c.focus == -1 ? 0 : c.focusItem,
              SendDlgItemMessageA(again, kFocus, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(std::to_string(c.lock), Text(again, kLock));
    EXPECT_EQ(c.clearEnabled ? BST_UNCHECKED : BST_CHECKED, IsDlgButtonChecked(again, kEnabled));
}

INSTANTIATE_TEST_SUITE_P(Choices, NewControls, ::testing::ValuesIn(kNewControlsCases), CaseName());

constexpr int kThreshold = 1008;

// After how many pixels straight down from the top of the upper half the first zoom comes.
int UpperHalfFirstZoomAfter() {
    const size_t before = Record().zoomCalls.size();
    standin::SendMouse(WM_LBUTTONDOWN, 50, 2);
    int pixels = 1;
    for (; pixels <= 70 && Record().zoomCalls.size() == before; ++pixels) {
        standin::SendMouse(WM_MOUSEMOVE, 50, 2 + pixels, MK_LBUTTON);
    }
    standin::SendMouse(WM_LBUTTONUP, 50, 2);
    return pixels - 1;
}

// The band before the upper half zooms: the field keeps the stored 5 for a text out of range.
TEST_F(ConfigAction, TheUpperHalfBandAppliesSavesAndComesBackAfterARestart) {
    const struct {
        const char* typed;
        int threshold;
        const char* savedTail;
    } cases[] = {
        {"0", 0, ""},
        {"64", 64, "threshold=64\r\n"},
        {"65", 5, "threshold=5\r\n"},
        {"", 5, "threshold=5\r\n"},
        {"8", 8, "threshold=8\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        HostOptions options;
        options.iniText = "[ruvenkal]\r\nscale=0.100000\r\nmask=3\r\nthreshold=5\r\n";
        HWND dialog = Open(options);
        EXPECT_EQ("5", Text(dialog, kThreshold));
        SetDlgItemTextA(dialog, kThreshold, c.typed);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);

        const std::string saved = ReadTextFile(standin::IniPath());
        EXPECT_EQ(std::string("[ruvenkal]\r\nscale=0.100000\r\nmask=3\r\n") + c.savedTail, saved);
        EXPECT_EQ(c.threshold + 1, UpperHalfFirstZoomAfter());
        standin::Stop();

        options.iniText = saved;
        EXPECT_EQ(std::to_string(c.threshold), Text(Open(options), kThreshold));
        standin::Stop();
    }
}

TEST_F(ConfigAction, ListsHaveTheirItemsInOrder) {
    HWND dialog = Open();
    const std::vector<std::string> focusItems = {"As set in REAPER", "Mouse cursor", "Edit cursor",
                                                 "Edit cursor or play cursor", "Center of view"};
    EXPECT_EQ(focusItems, ListItems(dialog, kFocus));
    EXPECT_EQ(0, SendDlgItemMessageA(dialog, kFocus, CB_GETCURSEL, 0, 0));
    const std::vector<std::string> keyItems = {"Always", "No Shift, Ctrl or Alt", "Shift held",
                                               "Ctrl held", "Alt held"};
    EXPECT_EQ(keyItems, ListItems(dialog, kModifier));
    EXPECT_EQ(0, SendDlgItemMessageA(dialog, kModifier, CB_GETCURSEL, 0, 0));
    EXPECT_EQ("0", Text(dialog, kLock));
    // Typing is digits only.
    EXPECT_NE(0, GetWindowLongA(GetDlgItem(dialog, kLock), GWL_STYLE) & ES_NUMBER);
}

struct ModifierItemCase {
    const char* name;
    int item;  // chosen in "Zoom when:", also the saved value
    const char* savedTail;
    const char* zoomingKeys;
};

const ModifierItemCase kModifierItemCases[] = {
    {"Always", 0, "", "none Shift Ctrl Alt Shift+Ctrl Ctrl+Alt"},
    {"NoKeys", 1, "modifier=1\r\n", "none"},
    {"ShiftHeld", 2, "modifier=2\r\n", "Shift"},
    {"CtrlHeld", 3, "modifier=3\r\n", "Ctrl"},
    {"AltHeld", 4, "modifier=4\r\n", "Alt"},
};

class ZoomWhen : public ConfigAction, public ::testing::WithParamInterface<ModifierItemCase> {};

TEST_P(ZoomWhen, AppliesSavesAndComesBackAfterARestart) {
    const ModifierItemCase& c = GetParam();
    HWND dialog = Open();
    SendDlgItemMessageA(dialog, kModifier, CB_SETCURSEL, static_cast<WPARAM>(c.item), 0);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);

    const std::string saved = ReadTextFile(standin::IniPath());
    EXPECT_EQ(std::string("[ruvenkal]\r\nscale=0.100000\r\nmask=3\r\n") + c.savedTail, saved);
    EXPECT_EQ(c.zoomingKeys, KeysThatZoom());

    HostOptions options;
    options.iniText = saved;
    HWND again = Open(options);
    EXPECT_EQ(c.item, SendDlgItemMessageA(again, kModifier, CB_GETCURSEL, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Choices, ZoomWhen, ::testing::ValuesIn(kModifierItemCases), CaseName());

TEST_F(ConfigAction, SavedValuesLoadAtTheNextStart) {
    HWND dialog = Open();
    SetDlgItemTextA(dialog, kScale, "0.1234567");
    SendDlgItemMessageA(dialog, kUpper, BM_CLICK, 0, 0);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    const std::string saved = ReadTextFile(standin::IniPath());

    HostOptions options;
    options.iniText = saved;
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    const HalfAmounts applied = ZoomPerPixelInEachHalf();
    EXPECT_TRUE(std::isnan(applied.upper));
    EXPECT_EQ(static_cast<double>(0.123457f), applied.lower);
}

TEST_F(ConfigAction, OtherSectionsOfTheFileStay) {
    HostOptions options;
    options.iniText =
        "[REAPER]\r\nzoom=7\r\n[ruvenkal]\r\nscale=0.3\r\nmask=1\r\n[after]\r\nx=1\r\n";
    HWND dialog = Open(options);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ("[REAPER]\r\nzoom=7\r\n[ruvenkal]\r\nscale=0.300000\r\nmask=1\r\n[after]\r\nx=1\r\n",
              ReadTextFile(standin::IniPath()));
}

TEST_F(ConfigAction, WithoutAConfigurationFileNothingIsWrittenButValuesApply) {
    HostOptions options;
    options.withheldFunctions = {"get_ini_file"};
    HWND dialog = Open(options);
    SetDlgItemTextA(dialog, kScale, "2");
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);

    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(standin::IniPath().c_str()));
    EXPECT_EQ(2.0, ZoomPerPixelInEachHalf().upper);
}

TEST_F(ConfigAction, SavesWithAFullStopUnderACommaLocale) {
    HWND dialog = Open();
    ASSERT_NE(nullptr, std::setlocale(LC_ALL, "German"));
    SetDlgItemTextA(dialog, kScale, "0.5");
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ("[ruvenkal]\r\nscale=0.500000\r\nmask=3\r\n", ReadTextFile(standin::IniPath()));
}

TEST_F(ConfigAction, UnloadCallDestroysTheDialogAndRemovesTheAction) {
    HWND dialog = Open();
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(nullptr, standin::RegisteredItem("hookcommand"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("gaccel"));
    EXPECT_FALSE(standin::RunCommand(kCommandId));
}

// The mask is read at each press, the scale at each move.
TEST_F(ConfigAction, ChangesMidDragTakeEffectAtTheNextPressAndMove) {
    HWND dialog = Open();
    standin::SendMouse(WM_LBUTTONDOWN, 50, 3);  // upper half, enabled
    SetDlgItemTextA(dialog, kScale, "0.5");
    // Not a click: a clicked button takes the mouse capture, and that ends the drag.
    CheckDlgButton(dialog, kUpper, BST_UNCHECKED);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);

    standin::SendMouse(WM_MOUSEMOVE, 50, 5, MK_LBUTTON);
    ASSERT_FALSE(Record().zoomCalls.empty());
    EXPECT_EQ(1.0, Record().zoomCalls.back().amount);  // the drag goes on, at the new scale
    standin::SendMouse(WM_LBUTTONUP, 50, 5);

    const HalfAmounts next = ZoomPerPixelInEachHalf();
    EXPECT_TRUE(std::isnan(next.upper));
    EXPECT_EQ(0.5, next.lower);
}

// The host may close its main window, and the dialog with it, before the unload call; the action
// then opens a dialog again rather than showing a stale handle.
TEST_F(ConfigAction, DialogDestroyedWithItsOwnerIsForgotten) {
    HWND dialog = Open();
    DestroyWindow(dialog);  // as the owner's destruction does
    EXPECT_TRUE(standin::RunCommand(kCommandId));
    HWND again = FindConfigDialog();
    EXPECT_NE(nullptr, again);
    EXPECT_TRUE(IsWindowVisible(again));
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_FALSE(IsWindow(again));
}

// The host destroys the dialog along with its main window when it quits: a shown dialog applies
// what it shows, as closing it does; a hidden one was applied when it closed.
TEST_F(ConfigAction, ShownWhenTheHostQuitsAppliesAndSaves) {
    HWND dialog = Open();
    SetDlgItemTextA(dialog, kScale, "0.5");
    CheckDlgButton(dialog, kUpper, BST_UNCHECKED);
    DestroyWindow(standin::MainWindow());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ("[ruvenkal]\r\nscale=0.500000\r\nmask=2\r\n", ReadTextFile(standin::IniPath()));
}

// Minimising the main window hides its owned dialog along with it, which is not the dialog being
// closed: quit while minimised, or after a restore, the host still gets what the dialog shows.
TEST_F(ConfigAction, OpenThroughAMinimiseWhenTheHostQuitsAppliesAndSaves) {
    for (bool restored : {false, true}) {
        SCOPED_TRACE(restored ? "restored" : "still minimised");
        HWND dialog = Open();
        HWND main = standin::MainWindow();
        ShowWindow(main, SW_SHOWNORMAL);
        // Windows hides and shows the owned windows along with a minimise and a restore (lParam
        // SW_PARENTCLOSING, then SW_PARENTOPENING); Wine's desktop doesn't, so the test does.
        ShowWindow(main, SW_MINIMIZE);
        ShowOwnedPopups(main, FALSE);
        ASSERT_FALSE(IsWindowVisible(dialog));
        if (restored) {
            ShowWindow(main, SW_RESTORE);
            ShowOwnedPopups(main, TRUE);
            ASSERT_TRUE(IsWindowVisible(dialog));
        }
        standin::PumpMessages();
        SetDlgItemTextA(dialog, kScale, "0.5");
        DestroyWindow(main);
        EXPECT_EQ("[ruvenkal]\r\nscale=0.500000\r\nmask=3\r\n", ReadTextFile(standin::IniPath()));
        standin::Stop();
    }
}

TEST_F(ConfigAction, HiddenWhenTheHostQuitsIsNotAppliedAgain) {
    HWND dialog = Open();
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(DeleteFileA(standin::IniPath().c_str()));
    SetDlgItemTextA(dialog, kScale, "0.5");
    DestroyWindow(standin::MainWindow());
    EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesA(standin::IniPath().c_str()));
}

}  // namespace
