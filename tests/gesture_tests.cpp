// The zoom drag, driven through the hooked time display: what reaches the time display and what
// reaches adjustZoom.
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::Record;

namespace {

constexpr int kNoZoom = INT_MIN;

struct Step {
    UINT message;
    int x, y;                    // as sent
    int forwardedX, forwardedY;  // as the time display's own procedure must receive them
    int zoomDy;                  // vertical difference adjustZoom must be called for, or kNoZoom
    WPARAM keys;
};

Step Send(UINT message, int x, int y) {
    return {message, x, y, x, y, kNoZoom, 0};
}
Step Press(int x, int y) {
    return {WM_LBUTTONDOWN, x, y, x, y, kNoZoom, MK_LBUTTON};
}
// The second press of a double-click: the time display's class takes double-clicks.
Step DoubleClick(int x, int y) {
    return {WM_LBUTTONDBLCLK, x, y, x, y, kNoZoom, MK_LBUTTON};
}
Step Release(int x, int y) {
    return Send(WM_LBUTTONUP, x, y);
}
Step Move(int x, int y) {
    return {WM_MOUSEMOVE, x, y, x, y, kNoZoom, MK_LBUTTON};
}
Step ZoomingMove(int x, int y, int dy) {
    return {WM_MOUSEMOVE, x, y, x, y, dy, MK_LBUTTON};
}
// A move without MK_LBUTTON: the button went up where the time display didn't see it.
Step MoveWithoutButton(int x, int y) {
    return Send(WM_MOUSEMOVE, x, y);
}
Step PinnedMove(int x, int y, int forwardedX, int forwardedY, int zoomDy = kNoZoom) {
    return {WM_MOUSEMOVE, x, y, forwardedX, forwardedY, zoomDy, MK_LBUTTON};
}

struct GestureCase {
    const char* name;
    int timeDisplayHeight;
    std::vector<Step> steps;
    float scale = 0.1f;
    int mask = 3;
    int lock = 0;
    int focus = -1;
    int enabled = 1;
    int threshold = 0;
};

const GestureCase kCases[] = {
    // The halves split at 2y > height + 1.
    {"Height20SplitsBetween10And11",
     20,
     {Press(50, 10), ZoomingMove(53, 11, 1), Release(53, 11), Press(50, 11),
      PinnedMove(53, 12, 53, 11), Release(53, 12)}},
    {"Height21SplitsBetween11And12",
     21,
     {Press(50, 11), ZoomingMove(53, 12, 1), Release(53, 12), Press(50, 12),
      PinnedMove(53, 13, 53, 12), Release(53, 13)}},

    // Upper half: every vertical difference zooms, positions pass as sent.
    {"UpperHalfZoomsOnEveryVerticalMove",
     20,
     {Press(40, 4), ZoomingMove(40, 8, 4), Move(43, 8), ZoomingMove(45, 7, -1), Release(45, 7)}},
    {"UpperHalfKeepsZoomingAboveTheWindow",
     20,
     {Press(40, 5), ZoomingMove(40, -30, -35), ZoomingMove(41, -29, 1), Release(41, -29)}},
    {"UpperHalfExtremeCoordinates",
     20,
     {Press(0, -32768), ZoomingMove(0, 32767, 65535), ZoomingMove(-32768, -32768, -65535)}},

    // Lower half, first movement horizontal: locked, no zoom, y pinned to the start.
    {"LowerHalfHorizontalLock",
     20,
     {Press(100, 15), PinnedMove(103, 16, 103, 15), PinnedMove(103, 25, 103, 15),
      PinnedMove(90, -40, 90, 15), Move(90, -40), Release(90, -40)}},
    // Lower half, first movement vertical: zooms, x pinned to the start.
    {"LowerHalfVerticalLock",
     20,
     {Press(100, 15), PinnedMove(100, 13, 100, 13, -2), PinnedMove(105, 13, 100, 13),
      PinnedMove(-7, 40, 100, 40, 27), Move(-7, 40), Release(-7, 40)}},
    // A move to the last position leaves the axis undecided.
    {"RepeatedPositionLeavesAxisUndecided",
     20,
     {Press(100, 15), Move(100, 15), PinnedMove(100, 18, 100, 18, 3),
      PinnedMove(110, 18, 100, 18)}},
    {"BothComponentsFirstCountAsHorizontal",
     20,
     {Press(100, 15), PinnedMove(101, 25, 101, 15), PinnedMove(101, 35, 101, 15)}},
    {"LowerHalfExtremeCoordinates",
     20,
     {Press(32767, 15), PinnedMove(-32768, 15, -32768, 15), PinnedMove(-32768, 32767, -32768, 15)}},

    // Drags begin with a press, a double-click's second one included, and end with a button-up.
    {"ButtonUpEndsTheDrag", 20, {Press(40, 4), Release(40, 9), Move(40, 30), Move(45, 2)}},
    {"DoubleClickStartsADragInTheUpperHalf",
     20,
     {Press(40, 4), Release(40, 4), DoubleClick(40, 4), ZoomingMove(40, 9, 5), Release(40, 9),
      Move(40, 20)}},
    {"DoubleClickStartsADragInTheLowerHalf",
     20,
     {Press(100, 15), Release(100, 15), DoubleClick(100, 15), PinnedMove(100, 13, 100, 13, -2),
      PinnedMove(105, 13, 100, 13), Release(105, 13)}},
    {"NewPressRestartsTheDrag",
     20,
     {Press(100, 15), PinnedMove(110, 15, 110, 15), Press(100, 15),
      PinnedMove(100, 17, 100, 17, 2)}},
    {"MovesWithoutPressPassUnchanged", 20, {Move(10, 5), Move(10, 18), Move(300, 19)}},
    // A move without the button ends the drag, and passes as sent.
    {"MoveWithoutButtonEndsADrag",
     20,
     {Press(40, 4), MoveWithoutButton(40, 9), Move(40, 20), Move(45, 2)}},
    {"MoveWithoutButtonEndsADoubleClickDrag",
     20,
     {Press(40, 4), Release(40, 4), DoubleClick(40, 4), MoveWithoutButton(40, 9), Move(40, 20)}},
    {"MoveWithoutButtonEndsALowerHalfDrag",
     20,
     {Press(100, 15), PinnedMove(100, 17, 100, 17, 2), MoveWithoutButton(110, 18), Move(120, 30),
      Move(90, 12)}},

    // Other mouse messages pass through untouched, even mid-drag.
    {"OtherMessagesPassUnchanged",
     20,
     {Press(100, 15), Send(WM_RBUTTONDOWN, 120, 3), Send(WM_MOUSEWHEEL, 7, 9),
      PinnedMove(100, 16, 100, 16, 1)}},

    // Settings: a press in a disabled half records nothing that later moves act on, and ends a
    // drag in progress; the sign and size of the amount follow the scale.
    {"PressInDisabledHalfEndsTheDrag",
     20,
     {Press(40, 4), ZoomingMove(40, 6, 2), Press(40, 15), Move(40, 30), Move(50, 31), Press(40, 4),
      ZoomingMove(40, 3, -1)},
     0.1f,
     1},
    {"DoubleClickInDisabledHalfEndsTheDrag",
     20,
     {Press(40, 4), ZoomingMove(40, 6, 2), DoubleClick(40, 15), Move(40, 30), Move(50, 31)},
     0.1f,
     1},
    {"LowerHalfOnly",
     20,
     {Press(40, 4), Move(40, 9), Move(48, 9), Press(40, 15), PinnedMove(48, 15, 48, 15),
      PinnedMove(48, 20, 48, 15)},
     0.1f,
     2},
    {"MaskOffPassesEverythingUnchanged",
     20,
     {Press(40, 4), Move(40, 9), Release(40, 9), Press(40, 15), Move(48, 17), Move(48, 30)},
     0.1f,
     0},
    {"NegativeScaleReversesTheAmount",
     20,
     {Press(40, 4), ZoomingMove(40, 9, 5), ZoomingMove(40, 1, -8)},
     -0.75f},
    {"ZeroScaleStillCallsWithZero", 20, {Press(40, 4), ZoomingMove(40, 9, 5)}, 0.0f},
    {"LargeScale", 20, {Press(40, 4), ZoomingMove(40, 32767, 32763)}, 3.0e38f},

    // Switched off: everything passes as without the module.
    {"OffPassesEverythingUnchanged",
     20,
     {Press(40, 4), Move(40, 9), Release(40, 9), Press(40, 15), Move(48, 17), Move(48, 30)},
     0.1f,
     3,
     0,
     -1,
     0},

    // The zoom focus is adjustZoom's last argument, in both halves.
    {"FocusMousePointer", 20, {Press(40, 4), ZoomingMove(40, 6, 2)}, 0.1f, 3, 0, 3},
    {"FocusViewCentreOnTheCatchUpZoom",
     20,
     {Press(40, 15), PinnedMove(41, 18, 40, 15), PinnedMove(41, 21, 40, 21, 6)},
     0.1f,
     3,
     6,
     2},
    {"FocusEditCursor", 20, {Press(40, 15), PinnedMove(40, 16, 40, 16, 1)}, 0.1f, 3, 0, 1},
    {"FocusEditOrPlayCursor", 20, {Press(40, 4), ZoomingMove(40, 3, -1)}, 0.1f, 3, 0, 0},

    // A lock distance of 1 decides on the first move like no lock, but by the dominant axis.
    {"Lock1MostlyDownIsVertical",
     20,
     {Press(100, 15), PinnedMove(101, 20, 100, 20, 5), PinnedMove(110, 21, 100, 21, 1)},
     0.1f,
     3,
     1},
    {"Lock1MostlySidewaysIsHorizontal",
     20,
     {Press(100, 15), PinnedMove(105, 16, 105, 15), PinnedMove(105, 30, 105, 15)},
     0.1f,
     3,
     1},
    {"Lock1TieIsHorizontal",
     20,
     {Press(100, 15), PinnedMove(103, 18, 103, 15), PinnedMove(103, 30, 103, 15)},
     0.1f,
     3,
     1},
    {"Lock0MostlyDownButMovedSidewaysIsHorizontal",
     20,
     {Press(100, 15), PinnedMove(101, 20, 101, 15), PinnedMove(101, 30, 101, 15)}},

    // Lock 6: undecided moves reach the time display at the press; the deciding move zooms by
    // all the vertical movement since the press.
    {"Lock6VerticalCatchesUp",
     20,
     {Press(100, 15), PinnedMove(101, 16, 100, 15), PinnedMove(102, 17, 100, 15),
      PinnedMove(102, 21, 100, 21, 6), PinnedMove(102, 23, 100, 23, 2),
      PinnedMove(109, 23, 100, 23), Move(109, 23), Release(109, 23)},
     0.1f,
     3,
     6},
    {"Lock6UpwardsCatchesUp",
     20,
     {Press(100, 15), PinnedMove(99, 13, 100, 15), PinnedMove(98, 9, 100, 9, -6)},
     0.1f,
     3,
     6},
    {"Lock6Horizontal",
     20,
     {Press(100, 15), PinnedMove(103, 16, 100, 15), PinnedMove(106, 19, 106, 15),
      PinnedMove(106, 40, 106, 15)},
     0.1f,
     3,
     6},
    {"Lock6TieIsHorizontal",
     20,
     {Press(100, 15), PinnedMove(106, 21, 106, 15), PinnedMove(106, 30, 106, 15)},
     0.1f,
     3,
     6},
    // Measured from the press, not from the last move.
    {"Lock6DistanceIsFromThePress",
     20,
     {Press(100, 15), PinnedMove(104, 15, 100, 15), PinnedMove(98, 15, 100, 15),
      PinnedMove(95, 19, 100, 15), PinnedMove(94, 19, 94, 15)},
     0.1f,
     3,
     6},
    // While undecided even a repeated position stays at the press; once decided it passes as sent.
    {"Lock6RepeatedPosition",
     20,
     {Press(100, 15), PinnedMove(102, 17, 100, 15), PinnedMove(102, 17, 100, 15),
      PinnedMove(102, 21, 100, 21, 6), Move(102, 21)},
     0.1f,
     3,
     6},
    {"Lock6LeavesTheUpperHalfAlone",
     20,
     {Press(40, 4), ZoomingMove(41, 5, 1), ZoomingMove(45, 9, 4)},
     0.1f,
     3,
     6},
    {"Lock64",
     20,
     {Press(100, 15), PinnedMove(100, 78, 100, 15), PinnedMove(100, 79, 100, 79, 64)},
     0.1f,
     3,
     64},

    // A band of 8 pixels around the press: an upper-half drag zooms only by the movement beyond
    // it, and every move still reaches the time display as sent.
    {"Band8JitterInsideNeverZooms",
     20,
     {Press(40, 4), Move(43, 7), Move(47, 1), Move(52, 12), Move(60, -4), Move(61, 4),
      Release(61, 4)},
     0.1f,
     3,
     0,
     -1,
     1,
     8},
    {"Band8CrossingDownward",
     20,
     {Press(40, 4), Move(40, 10), ZoomingMove(40, 15, 3), ZoomingMove(41, 20, 5),
      ZoomingMove(41, 13, -7), ZoomingMove(41, 9, -1), Move(41, 8)},
     0.1f,
     3,
     0,
     -1,
     1,
     8},
    {"Band8CrossingUpward",
     20,
     {Press(40, 4), Move(40, -3), ZoomingMove(40, -7, -3), ZoomingMove(40, -30, -23)},
     0.1f,
     3,
     0,
     -1,
     1,
     8},
    // A jump over the whole band zooms only the parts beyond it, and back at the press the
    // amounts add up to nothing.
    {"Band8JumpAcrossAndBackToThePress",
     20,
     {Press(40, 4), ZoomingMove(40, 16, 4), ZoomingMove(40, -8, -8), ZoomingMove(40, 30, 22),
      ZoomingMove(40, 4, -18), Move(40, 4)},
     0.1f,
     3,
     0,
     -1,
     1,
     8},
    {"Band8SidewaysMovesDontCount",
     20,
     {Press(40, 4), Move(90, 4), Move(-20, 12), ZoomingMove(300, 13, 1), Move(-5, 13)},
     0.1f,
     3,
     0,
     -1,
     1,
     8},
    {"Band8LeavesTheLowerHalfAlone",
     20,
     {Press(100, 15), PinnedMove(100, 16, 100, 16, 1), PinnedMove(104, 18, 100, 18, 2)},
     0.1f,
     3,
     0,
     -1,
     1,
     8},
    {"Band64",
     20,
     {Press(40, 4), Move(40, 68), ZoomingMove(40, 69, 1), ZoomingMove(40, -61, -2),
      ZoomingMove(40, -60, 1)},
     0.1f,
     3,
     0,
     -1,
     1,
     64},
};

// The keys beyond scale and mask only where a case sets them.
std::string SettingsText(const GestureCase& c) {
    char text[128];
    std::snprintf(text, sizeof text, "[ruvenkal]\r\nscale=%.9g\r\nmask=%d\r\n",
                  static_cast<double>(c.scale), c.mask);
    std::string settings = text;
    const struct {
        const char* key;
        int value, unset;
    } more[] = {{"lock", c.lock, 0},
                {"focus", c.focus, -1},
                {"enabled", c.enabled, 1},
                {"threshold", c.threshold, 0}};
    for (const auto& key : more) {
        if (key.value != key.unset) {
            settings += std::string(key.key) + "=" + std::to_string(key.value) + "\r\n";
        }
    }
    return settings;
}

class Gesture : public HostTest, public ::testing::WithParamInterface<GestureCase> {};

TEST_P(Gesture, ForwardsAndZoomsExactly) {
    standin::HostOptions options;
    options.timeDisplayHeight = GetParam().timeDisplayHeight;
    options.iniText = SettingsText(GetParam());
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    for (size_t i = 0; i < GetParam().steps.size(); ++i) {
        const Step& step = GetParam().steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        Record().timeDisplayMessages.clear();
        const size_t zoomCallsBefore = Record().zoomCalls.size();

        const LRESULT result = standin::SendMouse(step.message, step.x, step.y, step.keys);

        // Capture changes on press and release may follow the sent message.
        ASSERT_FALSE(Record().timeDisplayMessages.empty());
        const standin::WindowMessage& got = Record().timeDisplayMessages[0];
        EXPECT_EQ(step.message, got.message);
        EXPECT_EQ(step.keys, got.wParam);
        EXPECT_EQ(standin::MousePosition(step.forwardedX, step.forwardedY), got.lParam);
        EXPECT_EQ(standin::TimeDisplayResult(0), result);

        if (step.zoomDy == kNoZoom) {
            EXPECT_EQ(zoomCallsBefore, Record().zoomCalls.size());
        } else {
            ASSERT_EQ(zoomCallsBefore + 1, Record().zoomCalls.size());
            const standin::ZoomCall& call = Record().zoomCalls.back();
            EXPECT_EQ(static_cast<double>(GetParam().scale) * step.zoomDy, call.amount);
            EXPECT_EQ(0, call.forceSet);
            EXPECT_EQ(0, call.doUpdate);
            EXPECT_EQ(GetParam().focus, call.centerMode);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Drags, Gesture, ::testing::ValuesIn(kCases), CaseName());

// Which keys a drag needs, judged at the press: for each setting, whether a drag started with
// each of kHeldKeys zooms, in either half.
struct ModifierCase {
    const char* name;
    int modifier;
    bool zooms[kHeldKeysCount];  // none, Shift, Ctrl, Alt, Shift+Ctrl, Ctrl+Alt
};

const ModifierCase kModifierCases[] = {
    {"AnyKeys", 0, {true, true, true, true, true, true}},
    {"NoKeys", 1, {true, false, false, false, false, false}},
    {"ShiftHeld", 2, {false, true, false, false, false, false}},
    {"CtrlHeld", 3, {false, false, true, false, false, false}},
    {"AltHeld", 4, {false, false, false, true, false, false}},
};

class Modifier : public HostTest, public ::testing::WithParamInterface<ModifierCase> {};

TEST_P(Modifier, OnlyMatchingKeysZoomAndOtherDragsPassAsSent) {
    standin::HostOptions options;
    options.iniText = "[ruvenkal]\r\nmodifier=" + std::to_string(GetParam().modifier) + "\r\n";
    ASSERT_NO_FATAL_FAILURE(Attach(options));

    for (int k = 0; k < kHeldKeysCount; ++k) {
        for (int pressY : {4, 15}) {
            for (UINT press : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
                const HeldKeys& keys = kHeldKeys[k];
                SCOPED_TRACE(std::string(keys.name) +
                             (pressY < 10 ? ", upper half" : ", lower half") +
                             (press == WM_LBUTTONDOWN ? ", press" : ", double-click"));
                Record().timeDisplayMessages.clear();
                Record().zoomCalls.clear();
                const standin::WindowMessage steps[] = {
                    {press, MK_LBUTTON | keys.flags, standin::MousePosition(100, pressY)},
                    {WM_MOUSEMOVE, MK_LBUTTON | keys.flags,
                     standin::MousePosition(100, pressY + 4)},
                    {WM_MOUSEMOVE, MK_LBUTTON, standin::MousePosition(107, pressY + 4)},
                    {WM_LBUTTONUP, 0, standin::MousePosition(107, pressY + 4)},
                };
                standin::HoldAlt(keys.alt);
                for (const standin::WindowMessage& step : steps) {
                    SendMessageW(standin::TimeDisplay(), step.message, step.wParam, step.lParam);
                }
                standin::HoldAlt(false);

                EXPECT_EQ(GetParam().zooms[k], !Record().zoomCalls.empty());
                if (GetParam().zooms[k]) {
                    continue;
                }
                // The time display's own drag: every message exactly as sent.
                std::vector<std::string> sent;
                std::vector<std::string> got;
                for (const standin::WindowMessage& m : steps) {
                    sent.push_back(std::to_string(m.message) + " " + std::to_string(m.wParam) +
                                   " " + std::to_string(m.lParam));
                }
                for (const standin::WindowMessage& m : Record().timeDisplayMessages) {
                    if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) {
                        got.push_back(std::to_string(m.message) + " " + std::to_string(m.wParam) +
                                      " " + std::to_string(m.lParam));
                    }
                }
                EXPECT_EQ(sent, got);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, Modifier, ::testing::ValuesIn(kModifierCases), CaseName());

using ModifierKeysMidDrag = HostTest;

// The keys count only at the press: pressing or releasing them during the drag changes nothing.
TEST_F(ModifierKeysMidDrag, ChangeNothing) {
    struct Drag {
        const char* name;
        int modifier;
        HeldKeys atPress, duringDrag;
        bool zooms;
    };
    const HeldKeys& kNone = kHeldKeys[0];
    const HeldKeys& kCtrl = kHeldKeys[2];
    const HeldKeys& kAlt = kHeldKeys[3];
    const HeldKeys& kShiftCtrl = kHeldKeys[4];
    const HeldKeys& kCtrlAlt = kHeldKeys[5];
    const Drag drags[] = {
        {"Ctrl released", 3, kCtrl, kNone, true},
        {"Ctrl pressed", 3, kNone, kCtrl, false},
        {"Alt released", 4, kAlt, kNone, true},
        {"Alt pressed", 4, kNone, kAlt, false},
        {"Shift added to Ctrl", 3, kCtrl, kShiftCtrl, true},
        {"plain, then Ctrl and Alt", 1, kNone, kCtrlAlt, true},
    };
    for (const Drag& d : drags) {
        SCOPED_TRACE(d.name);
        standin::HostOptions options;
        options.iniText = "[ruvenkal]\r\nmodifier=" + std::to_string(d.modifier) + "\r\n";
        ASSERT_NO_FATAL_FAILURE(Attach(options));

        standin::HoldAlt(d.atPress.alt);
        standin::SendMouse(WM_LBUTTONDOWN, 100, 4, MK_LBUTTON | d.atPress.flags);
        standin::HoldAlt(d.duringDrag.alt);
        standin::SendMouse(WM_MOUSEMOVE, 100, 7, MK_LBUTTON | d.duringDrag.flags);
        standin::SendMouse(WM_MOUSEMOVE, 100, 9, MK_LBUTTON | d.duringDrag.flags);
        standin::HoldAlt(false);
        EXPECT_EQ(d.zooms ? 2u : 0u, Record().zoomCalls.size());
    }
}

using GestureMessages = HostTest;

// Losing the capture to another window, or being told to cancel its mode, ends the drag: the
// button-up then goes elsewhere, and hovering with no button held must not zoom.
enum class NewCapture { None, AnotherWindow, TimeDisplayItself };

struct InterruptionCase {
    const char* name;
    UINT message;
    NewCapture newCapture;  // WM_CAPTURECHANGED's lParam
    bool endsTheDrag;
};

const InterruptionCase kInterruptions[] = {
    {"CaptureTakenByAnotherWindow", WM_CAPTURECHANGED, NewCapture::AnotherWindow, true},
    {"CaptureReleased", WM_CAPTURECHANGED, NewCapture::None, true},
    {"CaptureTakenAgainByTheTimeDisplay", WM_CAPTURECHANGED, NewCapture::TimeDisplayItself, false},
    {"CancelMode", WM_CANCELMODE, NewCapture::None, true},
};

class Interruption : public HostTest, public ::testing::WithParamInterface<InterruptionCase> {};

TEST_P(Interruption, EndsTheDragOnlyWhenTheCaptureGoesElsewhere) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const HWND capture[] = {nullptr, standin::MainWindow(), standin::TimeDisplay()};
    const LPARAM lParam =
        reinterpret_cast<LPARAM>(capture[static_cast<int>(GetParam().newCapture)]);
    standin::SendMouse(WM_LBUTTONDOWN, 100, 15);
    standin::SendMouse(WM_MOUSEMOVE, 100, 16, MK_LBUTTON);
    Record().timeDisplayMessages.clear();
    const size_t zoomsBefore = Record().zoomCalls.size();

    SendMessageW(standin::TimeDisplay(), GetParam().message, 0x55, lParam);
    ASSERT_FALSE(Record().timeDisplayMessages.empty());
    EXPECT_EQ(GetParam().message, Record().timeDisplayMessages[0].message);
    EXPECT_EQ(0x55u, Record().timeDisplayMessages[0].wParam);
    EXPECT_EQ(lParam, Record().timeDisplayMessages[0].lParam);

    // Hovering afterwards, button state and all, as the host's own moves may look.
    Record().timeDisplayMessages.clear();
    standin::SendMouse(WM_MOUSEMOVE, 100, 19, MK_LBUTTON);
    standin::SendMouse(WM_MOUSEMOVE, 104, 25, MK_LBUTTON);
    EXPECT_EQ(GetParam().endsTheDrag ? 0u : 2u, Record().zoomCalls.size() - zoomsBefore);
    const LPARAM lastForwarded = Record().timeDisplayMessages.back().lParam;
    EXPECT_EQ(standin::MousePosition(GetParam().endsTheDrag ? 104 : 100, 25), lastForwarded);

    // The next press starts a drag as usual.
    standin::SendMouse(WM_LBUTTONDOWN, 100, 4);
    standin::SendMouse(WM_MOUSEMOVE, 100, 6, MK_LBUTTON);
    EXPECT_EQ(static_cast<double>(0.1f) * 2, Record().zoomCalls.back().amount);
}

INSTANTIATE_TEST_SUITE_P(Drags, Interruption, ::testing::ValuesIn(kInterruptions), CaseName());

// The same with a real capture: another window calls SetCapture in the middle of a drag.
TEST_F(GestureMessages, AnotherWindowTakingTheCaptureEndsTheDrag) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    standin::SendMouse(WM_LBUTTONDOWN, 40, 4);  // the time display takes the capture
    ASSERT_EQ(standin::TimeDisplay(), GetCapture());
    standin::SendMouse(WM_MOUSEMOVE, 40, 6, MK_LBUTTON);
    ASSERT_EQ(1u, Record().zoomCalls.size());

    HWND popup = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetCapture(popup);
    standin::SendMouse(WM_MOUSEMOVE, 40, 12, MK_LBUTTON);
    EXPECT_EQ(1u, Record().zoomCalls.size());
    ReleaseCapture();
    DestroyWindow(popup);
}

TEST_F(GestureMessages, NonMouseMessagesPassWithTheirOwnParameters) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    standin::SendMouse(WM_LBUTTONDOWN, 100, 15);
    Record().timeDisplayMessages.clear();

    const LRESULT result = SendMessageW(standin::TimeDisplay(), WM_USER + 7, 0xDEAD, -12345);

    ASSERT_EQ(1u, Record().timeDisplayMessages.size());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 7), Record().timeDisplayMessages[0].message);
    EXPECT_EQ(0xDEADu, Record().timeDisplayMessages[0].wParam);
    EXPECT_EQ(-12345, Record().timeDisplayMessages[0].lParam);
    EXPECT_EQ(standin::TimeDisplayResult(0), result);
    EXPECT_TRUE(Record().zoomCalls.empty());
}

}  // namespace
