// The dialog's keys through the host's message loop, which offers keystrokes to the module's
// "accelerator" and never calls IsDialogMessage itself; unclaimed, the space bar plays.
#include <algorithm>
#include <string>

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

// The stand-in removes a registration only when given the same record again.
TEST_F(DialogKeys, UnloadCallRemovesTheRecord) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    ASSERT_NE(nullptr, Accelerator());
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_EQ(nullptr, Accelerator());
}

}  // namespace
