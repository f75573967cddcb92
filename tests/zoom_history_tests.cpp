// Taking a zoom back: Escape during a drag, and Undo and Redo zoom drag through the views that
// finished drags replaced, as the host's view functions see it.
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;

namespace {

constexpr int kUndo = 41002;
constexpr int kRedo = 41003;

struct Times {
    double start;
    double end;
    bool operator==(const Times& other) const { return start == other.start && end == other.end; }
};

// The view as the host hands it out.
Times CurrentView() {
    auto getSet =
        reinterpret_cast<void (*)(standin::ReaProject*, bool, int, int, double*, double*)>(
            standin::LookUpFunction("GetSet_ArrangeView2"));
    Times view = {0, 0};
    getSet(nullptr, false, 0, 0, &view.start, &view.end);
    Record().viewCalls.pop_back();  // the test's own look
    return view;
}

// Presses in the upper half, moves down by each of `moves` pixels in turn, and with `release`
// lets go.
void Drag(std::vector<int> moves, bool release = true) {
    int y = 4;
    standin::SendMouse(WM_LBUTTONDOWN, 40, y, MK_LBUTTON);
    for (int dy : moves) {
        y += dy;
        standin::SendMouse(WM_MOUSEMOVE, 40, y, MK_LBUTTON);
    }
    if (release) {
        standin::SendMouse(WM_LBUTTONUP, 40, y);
    }
}

// The view is `want`: the start exactly, the end within rounding of a set view's zoom.
void ExpectView(const Times& want) {
    const Times got = CurrentView();
    EXPECT_EQ(want.start, got.start);
    EXPECT_NEAR(want.end, got.end, 1e-9);
}

// How many views the module has set so far.
size_t ViewsSet() {
    size_t sets = 0;
    for (const standin::ViewCall& call : Record().viewCalls) {
        sets += call.isSet ? 1 : 0;
    }
    return sets;
}

// Escape pressed on `window`, through the host's message loop.
void PressEscape(HWND window) {
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(window, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001));
    standin::PumpMessages();
}

using ZoomHistory = HostTest;

TEST_F(ZoomHistory, EscapeMidDragPutsTheViewBackExactlyAndLeavesNothingToUndo) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Times before = CurrentView();
    Drag({3, 4}, false);
    ASSERT_EQ(2u, Record().zoomCalls.size());
    ASSERT_FALSE(CurrentView() == before);

    PressEscape(standin::MainWindow());
    // Read once, just before the first zoom, and set back with the very same doubles.
    ASSERT_EQ(2u, Record().viewCalls.size());
    const standin::ViewCall& read = Record().viewCalls[0];
    const standin::ViewCall& set = Record().viewCalls[1];
    EXPECT_FALSE(read.isSet);
    EXPECT_TRUE(set.isSet);
    EXPECT_EQ(read.start, set.startIn);
    EXPECT_EQ(read.end, set.endIn);
    EXPECT_EQ(0, set.screenXStart);
    EXPECT_EQ(0, set.screenXEnd);
    EXPECT_TRUE(read.currentProject && set.currentProject);
    EXPECT_EQ(before.start, CurrentView().start);
    EXPECT_NEAR(before.end, CurrentView().end, 1e-9);

    // The drag zooms no more until the next press, and its button-up records nothing.
    standin::SendMouse(WM_MOUSEMOVE, 40, 20, MK_LBUTTON);
    standin::SendMouse(WM_LBUTTONUP, 40, 20);
    EXPECT_EQ(2u, Record().zoomCalls.size());
    EXPECT_TRUE(standin::RunCommand(kUndo));
    EXPECT_EQ(2u, Record().viewCalls.size()) << "nothing to undo";
    Drag({2});
    EXPECT_EQ(3u, Record().zoomCalls.size());
}

// Alt+Escape belongs to Windows. With "Alt held", letting go of Alt mid-drag keeps the drag
// zooming, since keys count at the press only, and Escape then cancels it.
TEST_F(ZoomHistory, AltReleasedMidDragThenEscapeCancels) {
    HostOptions options;
    options.iniText = "[ruvenkal]\r\nmodifier=4\r\n";
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    const Times before = CurrentView();
    standin::HoldAlt(true);
    standin::SendMouse(WM_LBUTTONDOWN, 40, 15, MK_LBUTTON);
    standin::SendMouse(WM_MOUSEMOVE, 40, 18, MK_LBUTTON);
    ASSERT_EQ(1u, Record().zoomCalls.size());

    standin::HoldAlt(false);
    PostMessageA(standin::MainWindow(), WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xC0380001));
    PostMessageA(standin::MainWindow(), WM_KEYUP, VK_MENU, static_cast<LPARAM>(0xC0380001));
    standin::PumpMessages();
    standin::SendMouse(WM_MOUSEMOVE, 40, 21, MK_LBUTTON);
    EXPECT_EQ(2u, Record().zoomCalls.size()) << "the drag goes on zooming";

    PressEscape(standin::MainWindow());
    ExpectView(before);
    Record().timeDisplayMessages.clear();
    standin::SendMouse(WM_MOUSEMOVE, 47, 25, MK_LBUTTON);
    EXPECT_EQ(2u, Record().zoomCalls.size());
    ASSERT_FALSE(Record().timeDisplayMessages.empty());
    EXPECT_EQ(standin::MousePosition(40, 25), Record().timeDisplayMessages[0].lParam)
        << "still pinned to the press's x";
    standin::SendMouse(WM_LBUTTONUP, 47, 25);
}

// With a band, a drag that never left it has nothing to record; one that did is taken back
// whole.
TEST_F(ZoomHistory, BandedDragsRecordOnlyWhatZoomed) {
    HostOptions options;
    options.iniText = "[ruvenkal]\r\nthreshold=8\r\n";
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    const Times before = CurrentView();
    Drag({5, -9, 4});
    EXPECT_TRUE(Record().viewCalls.empty());
    Drag({12, -3});
    ASSERT_FALSE(CurrentView() == before);
    standin::RunCommand(kUndo);
    ExpectView(before);
}

// A drag whose view came back to within half a pixel records no step, and what could be redone
// stays; one that moved an edge by more records its step and ends Redo. With the host's
// preference the view's left edge stays, so the right edge moves by 400 px × (1.1^amount − 1).
TEST_F(ZoomHistory, ADragThatCameBackRecordsNothingAndKeepsRedo) {
    const struct {
        const char* name;
        const char* iniText;
        std::vector<int> moves;
        bool recorded;
    } cases[] = {
        {"down and back", "", {5, -5}, false},
        {"down and back beyond a band", "threshold=8\r\n", {12, -12}, false},
        {"0.4 px at the edge", "scale=0.010487\r\n", {1}, false},
        {"0.6 px at the edge", "scale=0.015726\r\n", {1}, true},
        {"one pixel at the edge", "scale=0.026197\r\n", {1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HostOptions options;
        options.iniText = std::string("[ruvenkal]\r\n") + c.iniText;
        ASSERT_NO_FATAL_FAILURE(Attach(options));
        const Times before = CurrentView();
        Drag({-40});  // a step to undo, so that Redo has one
        ASSERT_TRUE(standin::RunCommand(kUndo));
        ExpectView(before);

        Drag(c.moves);
        const Times after = CurrentView();
        ASSERT_FALSE(Record().zoomCalls.empty());
        const size_t viewCalls = Record().viewCalls.size();
        standin::RunCommand(kRedo);
        EXPECT_EQ(c.recorded, Record().viewCalls.size() == viewCalls) << "Redo sets nothing";
        if (c.recorded) {
            standin::RunCommand(kUndo);
            ExpectView(before);
        } else {
            EXPECT_FALSE(CurrentView() == after) << "Redo brings the step back";
        }
        standin::Stop();
    }
}

// The half pixel is the current view's: deep into a zoom, a small drag is still a step.
TEST_F(ZoomHistory, SmallDragsDeepIntoAZoomEachRecordTheirStep) {
    HostOptions options;
    options.iniText = "[ruvenkal]\r\nscale=1\r\n";
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    Drag({60});  // from 100 to some 30 000 px/s, where a pixel is 1/300 of what it was
    std::vector<Times> views = {CurrentView()};
    for (int i = 0; i < 4; ++i) {
        Drag({1});
        views.push_back(CurrentView());
    }
    for (int step = 3; step >= 0; --step) {
        standin::RunCommand(kUndo);
        ExpectView(views[static_cast<size_t>(step)]);
    }
}

TEST_F(ZoomHistory, EscapeIsNeverClaimedAndActsOnlyOnAZoomingDrag) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    auto* accelerator =
        static_cast<standin::AcceleratorRegister*>(standin::RegisteredItem("accelerator"));
    ASSERT_NE(nullptr, accelerator);
    MSG escape = {standin::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {0, 0}};
    const struct {
        const char* name;
        std::vector<int> moves;  // of a drag still held, or none pressed
        bool pressed;
        size_t viewCalls;   // by the drag and the key
        size_t zoomsAfter;  // by a further move of 5 pixels
    } cases[] = {
        {"no drag", {}, false, 0, 0},
        {"before any zoom", {0}, true, 0, 0},
        {"after a zoom", {3}, true, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Record().viewCalls.clear();
        Record().zoomCalls.clear();
        if (c.pressed) {
            Drag(c.moves, false);
        }
        const size_t zooms = Record().zoomCalls.size();
        EXPECT_EQ(0, accelerator->translateAccel(&escape, accelerator));
        EXPECT_EQ(c.viewCalls, Record().viewCalls.size());
        standin::SendMouse(WM_MOUSEMOVE, 40, 30, MK_LBUTTON);
        EXPECT_EQ(c.zoomsAfter, Record().zoomCalls.size() - zooms);
        standin::SendMouse(WM_LBUTTONUP, 40, 30);
    }
}

TEST_F(ZoomHistory, UndoAndRedoWalkBackAndForth) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    std::vector<Times> views = {CurrentView()};
    for (int pixels : {3, -5, 8}) {
        Drag({pixels});
        views.push_back(CurrentView());
    }
    for (int step : {2, 1, 0}) {
        EXPECT_TRUE(standin::RunCommand(kUndo));
        ExpectView(views[step]);
    }
    EXPECT_TRUE(standin::RunCommand(kUndo));  // nothing left: nothing changes
    ExpectView(views[0]);
    for (int step : {1, 2, 3}) {
        EXPECT_TRUE(standin::RunCommand(kRedo));
        ExpectView(views[step]);
    }
    EXPECT_TRUE(standin::RunCommand(kRedo));
    ExpectView(views[3]);

    // Back two, then a new drag: what could be redone is gone.
    standin::RunCommand(kUndo);
    standin::RunCommand(kUndo);
    Drag({4});
    const Times afterNewDrag = CurrentView();
    const size_t viewCalls = Record().viewCalls.size();
    EXPECT_TRUE(standin::RunCommand(kRedo));
    EXPECT_EQ(viewCalls, Record().viewCalls.size());
    standin::RunCommand(kUndo);
    ExpectView(views[1]);
    standin::RunCommand(kRedo);
    ExpectView(afterNewDrag);
}

TEST_F(ZoomHistory, DragsThatNeverZoomedAddNothing) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    Drag({0});                                                // a click
    standin::SendMouse(WM_LBUTTONDOWN, 100, 15, MK_LBUTTON);  // sideways in the lower half
    standin::SendMouse(WM_MOUSEMOVE, 110, 18, MK_LBUTTON);
    standin::SendMouse(WM_LBUTTONUP, 110, 18);
    EXPECT_TRUE(Record().viewCalls.empty()) << "a press that never zooms reads nothing";
    EXPECT_TRUE(standin::RunCommand(kUndo));
    EXPECT_TRUE(Record().viewCalls.empty());
}

// Every way a zooming drag ends leaves its view to undo.
TEST_F(ZoomHistory, EveryEndOfAZoomingDragRecordsIt) {
    const struct {
        const char* name;
        void (*end)();
    } ends[] = {
        {"button up", [] { standin::SendMouse(WM_LBUTTONUP, 40, 9); }},
        {"move without the button", [] { standin::SendMouse(WM_MOUSEMOVE, 40, 9); }},
        {"capture lost", [] { SendMessageA(standin::TimeDisplay(), WM_CAPTURECHANGED, 0, 0); }},
        {"cancel mode", [] { SendMessageA(standin::TimeDisplay(), WM_CANCELMODE, 0, 0); }},
        {"switched off", [] { standin::RunCommand(kToggle); }},
        {"a new press", [] { standin::SendMouse(WM_LBUTTONDOWN, 40, 9, MK_LBUTTON); }},
    };
    for (const auto& e : ends) {
        SCOPED_TRACE(e.name);
        ASSERT_NO_FATAL_FAILURE(Attach());
        const Times before = CurrentView();
        Drag({5}, false);
        e.end();
        standin::RunCommand(kUndo);
        EXPECT_EQ(before.start, CurrentView().start);
        EXPECT_NEAR(before.end, CurrentView().end, 1e-9);
        standin::Stop();
    }
}

// Run from a key while the button is still held: the drag so far is what Undo takes back.
TEST_F(ZoomHistory, UndoDuringADragTakesThatDragBack) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Times before = CurrentView();
    Drag({4}, false);
    const Times zoomed = CurrentView();
    EXPECT_TRUE(standin::RunCommand(kUndo));
    EXPECT_EQ(before.start, CurrentView().start);
    EXPECT_NEAR(before.end, CurrentView().end, 1e-9);
    standin::SendMouse(WM_MOUSEMOVE, 40, 20, MK_LBUTTON);
    EXPECT_EQ(1u, Record().zoomCalls.size()) << "the drag zooms no more";
    standin::SendMouse(WM_LBUTTONUP, 40, 20);
    EXPECT_TRUE(standin::RunCommand(kRedo));
    EXPECT_NEAR(zoomed.end, CurrentView().end, 1e-9);
}

// Redo from a key while the button is still held ends the drag first: its zoom becomes the newest
// to undo, and what could be redone before it is gone.
TEST_F(ZoomHistory, RedoDuringADragEndsItFirst) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    Drag({3});
    standin::RunCommand(kUndo);
    const Times beforeSecond = CurrentView();
    Drag({5}, false);
    const Times zoomed = CurrentView();
    EXPECT_TRUE(standin::RunCommand(kRedo));
    ExpectView(zoomed);
    standin::SendMouse(WM_MOUSEMOVE, 40, 20, MK_LBUTTON);
    EXPECT_EQ(2u, Record().zoomCalls.size()) << "the drag zooms no more";
    standin::SendMouse(WM_LBUTTONUP, 40, 20);
    standin::RunCommand(kUndo);
    ExpectView(beforeSecond);
}

// A press without a button-up before it: the drag before is recorded on its own, so that two
// Undos step back through both.
TEST_F(ZoomHistory, APressWithoutAButtonUpRecordsTheDragBefore) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Times before = CurrentView();
    Drag({3}, false);
    const Times afterFirst = CurrentView();
    Drag({4});
    standin::RunCommand(kUndo);
    ExpectView(afterFirst);
    standin::RunCommand(kUndo);
    ExpectView(before);
}

// Only Escape going down cancels, whether Alt is held (a system key) or not; the keyboard queue
// never claims a key for it.
TEST_F(ZoomHistory, OnlyEscapeGoingDownCancels) {
    const struct {
        const char* name;
        UINT message;
        WPARAM key;
        bool cancels;
    } keys[] = {
        {"Escape", WM_KEYDOWN, VK_ESCAPE, true},   {"Alt+Escape", WM_SYSKEYDOWN, VK_ESCAPE, true},
        {"Escape up", WM_KEYUP, VK_ESCAPE, false}, {"Alt+Escape up", WM_SYSKEYUP, VK_ESCAPE, false},
        {"a letter", WM_KEYDOWN, 'A', false},      {"the space bar", WM_KEYDOWN, VK_SPACE, false},
        {"Alt+F4", WM_SYSKEYDOWN, VK_F4, false},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.name);
        ASSERT_NO_FATAL_FAILURE(Attach());
        auto* accelerator =
            static_cast<standin::AcceleratorRegister*>(standin::RegisteredItem("accelerator"));
        const Times before = CurrentView();
        Drag({3}, false);
        MSG key = {standin::MainWindow(), k.message, k.key, 0x00010001, 0, {0, 0}};
        EXPECT_EQ(0, accelerator->translateAccel(&key, accelerator));
        EXPECT_EQ(k.cancels, CurrentView() == before);
        standin::SendMouse(WM_MOUSEMOVE, 40, 12, MK_LBUTTON);
        EXPECT_EQ(k.cancels ? 1u : 2u, Record().zoomCalls.size());
        standin::Stop();
    }
}

// After Escape, the rest of the held drag reaches the time display as its axis lock sends it,
// without a zoom: the time display's own drag doesn't jump to where the pointer went meanwhile.
TEST_F(ZoomHistory, ACancelledDragStaysPinned) {
    const struct {
        const char* name;
        int lock;  // the lock distance
        POINT press;
        std::vector<POINT> before;    // moves before Escape
        std::vector<POINT> after;     // moves after it
        std::vector<POINT> received;  // what the time display gets of those
    } cases[] = {
        {"upper", 0, {40, 4}, {{40, 8}}, {{45, 12}, {60, 2}}, {{45, 12}, {60, 2}}},
        {"lower, vertical", 0, {40, 14}, {{40, 17}}, {{48, 19}, {55, 30}}, {{40, 19}, {40, 30}}},
        {"lower, sideways", 0, {40, 14}, {{44, 14}}, {{48, 19}, {55, 2}}, {{48, 14}, {55, 14}}},
        {"lower, undecided",
         10,
         {40, 14},
         {{42, 16}},
         {{43, 17}, {44, 30}, {60, 32}},
         {{40, 14}, {40, 30}, {40, 32}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HostOptions options;
        options.iniText = "[ruvenkal]\r\nlock=" + std::to_string(c.lock) + "\r\n";
        ASSERT_NO_FATAL_FAILURE(Attach(options));
        standin::SendMouse(WM_LBUTTONDOWN, c.press.x, c.press.y, MK_LBUTTON);
        for (const POINT& move : c.before) {
            standin::SendMouse(WM_MOUSEMOVE, move.x, move.y, MK_LBUTTON);
        }
        PressEscape(standin::MainWindow());
        const size_t zooms = Record().zoomCalls.size();
        Record().timeDisplayMessages.clear();
        for (const POINT& move : c.after) {
            standin::SendMouse(WM_MOUSEMOVE, move.x, move.y, MK_LBUTTON);
        }
        EXPECT_EQ(zooms, Record().zoomCalls.size());
        std::vector<LPARAM> received;
        for (const standin::WindowMessage& m : Record().timeDisplayMessages) {
            if (m.message == WM_MOUSEMOVE) {
                received.push_back(m.lParam);
            }
        }
        std::vector<LPARAM> expected;
        for (const POINT& p : c.received) {
            expected.push_back(standin::MousePosition(p.x, p.y));
        }
        EXPECT_EQ(expected, received);
        // Once the drag ends, the next one is a drag like any other.
        standin::SendMouse(WM_LBUTTONUP, 60, 32);
        Drag({2});
        EXPECT_EQ(zooms + 1, Record().zoomCalls.size());
        standin::Stop();
    }
}

TEST_F(ZoomHistory, KeepsTheLast32Views) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    std::vector<Times> views = {CurrentView()};
    for (int i = 0; i < 33; ++i) {
        Drag({i % 2 == 0 ? 1 : 2});
        views.push_back(CurrentView());
    }
    for (int i = 0; i < 32; ++i) {
        standin::RunCommand(kUndo);
    }
    // The first drag's view is gone; the second's is the oldest kept.
    EXPECT_NEAR(views[1].end, CurrentView().end, 1e-9);
    const size_t viewCalls = Record().viewCalls.size();
    EXPECT_TRUE(standin::RunCommand(kUndo));
    EXPECT_EQ(viewCalls, Record().viewCalls.size());
    for (int i = 0; i < 32; ++i) {
        standin::RunCommand(kRedo);
    }
    EXPECT_NEAR(views[33].end, CurrentView().end, 1e-9);
}

TEST_F(ZoomHistory, EachProjectKeepsItsOwnAcrossSwitches) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Times firstBefore = CurrentView();
    Drag({3});
    const Times firstAfter = CurrentView();
    standin::SwitchProject(1);
    const Times secondBefore = CurrentView();
    Drag({-4});
    const Times secondAfter = CurrentView();

    standin::SwitchProject(0);
    ExpectView(firstAfter);
    EXPECT_TRUE(standin::RunCommand(kUndo));
    ExpectView(firstBefore);
    standin::SwitchProject(1);
    ExpectView(secondAfter);
    EXPECT_TRUE(standin::RunCommand(kUndo));
    ExpectView(secondBefore);
    standin::SwitchProject(0);
    EXPECT_TRUE(standin::RunCommand(kRedo));
    ExpectView(firstAfter);
    for (const standin::ViewCall& call : Record().viewCalls) {
        EXPECT_TRUE(call.currentProject) << "only the current project is read or set";
    }
}

// Redo in a project must never set a view that another project's drag replaced.
TEST_F(ZoomHistory, UndoAndRedoStayInTheirProject) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    Drag({3});
    standin::RunCommand(kUndo);  // project 0 has something to redo
    standin::SwitchProject(1);
    const Times second = CurrentView();
    const size_t sets = ViewsSet();
    EXPECT_TRUE(standin::RunCommand(kRedo));
    EXPECT_TRUE(standin::RunCommand(kUndo));
    EXPECT_EQ(sets, ViewsSet());
    EXPECT_TRUE(CurrentView() == second);
}

// Escape after a switch of project mid-drag: the view read in the first project is set back
// there only, never in whatever project is current.
TEST_F(ZoomHistory, EscapeAfterASwitchSetsNothing) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    Drag({4}, false);
    standin::SwitchProject(1);
    const Times second = CurrentView();
    PressEscape(standin::MainWindow());
    EXPECT_EQ(0u, ViewsSet());
    EXPECT_TRUE(CurrentView() == second);
    standin::SendMouse(WM_LBUTTONUP, 40, 8);
}

// A drag that the project switch interrupted belongs to neither project.
TEST_F(ZoomHistory, ADragInterruptedByASwitchIsNotRecorded) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    Drag({4}, false);
    standin::SwitchProject(1);
    standin::SendMouse(WM_LBUTTONUP, 40, 8);
    for (int project : {1, 0}) {
        standin::SwitchProject(project);
        const size_t sets = ViewsSet();
        EXPECT_TRUE(standin::RunCommand(kUndo));
        EXPECT_EQ(sets, ViewsSet());
    }
}

// "New project" keeps the tab's project pointer: what was zoomed before is not the new project's
// to undo, and neither is a drag still held. The host's own undo loads a state of the same
// project, and keeps everything.
TEST_F(ZoomHistory, ANewProjectInTheTabStartsEmptyAndTheHostsUndoKeepsIt) {
    const struct {
        const char* name;
        const char* withheld;
    } hosts[] = {{"with GetCurrentProjectInLoadSave", ""},
                 {"without it", "GetCurrentProjectInLoadSave"}};
    for (const auto& h : hosts) {
        SCOPED_TRACE(h.name);
        HostOptions options;
        options.withheldFunctions = {h.withheld};
        ASSERT_NO_FATAL_FAILURE(Attach(options));
        const Times before = CurrentView();
        Drag({3});
        standin::SwitchProject(1);
        Drag({2});
        standin::SwitchProject(0);

        standin::HostUndo();
        standin::RunCommand(kUndo);
        ExpectView(before);
        standin::RunCommand(kRedo);

        Drag({5}, false);
        standin::NewProjectInTab();
        standin::SendMouse(WM_LBUTTONUP, 40, 9);
        const Times fresh = CurrentView();
        const size_t sets = ViewsSet();
        EXPECT_TRUE(standin::RunCommand(kUndo));
        EXPECT_TRUE(standin::RunCommand(kRedo));
        EXPECT_EQ(sets, ViewsSet()) << "the new project has nothing to undo or redo";
        EXPECT_TRUE(CurrentView() == fresh);

        standin::SwitchProject(1);
        const size_t setsBefore = ViewsSet();
        standin::RunCommand(kUndo);
        EXPECT_EQ(setsBefore + 1, ViewsSet()) << "the other tab keeps its history";
        standin::Stop();
    }
}

TEST_F(ZoomHistory, ProjectRecordIsRegisteredStoresNothingAndIsRemovedAtUnload) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    auto* record =
        static_cast<standin::ProjectConfigExtension*>(standin::RegisteredItem("projectconfig"));
    ASSERT_NE(nullptr, record);
    EXPECT_NE(nullptr, record->BeginLoadProjectState);
    standin::SaveProject();  // crashes if the module writes to the host's context
    standin::HostUndo();
    for (const std::string& event : Record().events) {
        EXPECT_EQ(std::string::npos, event.find("claimed")) << event;
    }
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_EQ(nullptr, standin::RegisteredItem("projectconfig"));
    bool removedWithTheSameRecord = false;
    for (const standin::Registration& r : Record().registrations) {
        removedWithTheSameRecord |= r.key == "-projectconfig" && r.item == record;
    }
    EXPECT_TRUE(removedWithTheSameRecord);
}

// Opens tabs until there are `count` projects, and zooms once in each, in the order given.
void ZoomInProjects(int count, const std::vector<int>& order) {
    while (standin::ProjectCount() < count) {
        standin::OpenProjectTab();
    }
    for (int project : order) {
        standin::SwitchProject(project);
        Drag({2});
    }
}

std::vector<int> Range(int from, int to) {
    std::vector<int> numbers;
    for (int n = from; n < to; ++n) {
        numbers.push_back(n);
    }
    return numbers;
}

// Whether `command`, Undo or Redo, sets a view in project `index`.
bool SetsAViewIn(int index, int command) {
    standin::SwitchProject(index);
    const size_t sets = ViewsSet();
    standin::RunCommand(command);
    return ViewsSet() > sets;
}

bool CanUndoIn(int index) {
    return SetsAViewIn(index, kUndo);
}

bool CanRedoIn(int index) {
    return SetsAViewIn(index, kRedo);
}

// What could be redone before "New project" is not the new project's either.
TEST_F(ZoomHistory, RedoAfterANewProjectSetsNothing) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    Drag({3});
    standin::RunCommand(kUndo);
    standin::NewProjectInTab();
    const Times fresh = CurrentView();
    const size_t sets = ViewsSet();
    EXPECT_TRUE(standin::RunCommand(kRedo));
    EXPECT_EQ(sets, ViewsSet());
    EXPECT_TRUE(CurrentView() == fresh);
}

// A project loaded into a tab other than the current one: that project's history goes, and the
// current one's stays.
TEST_F(ZoomHistory, ALoadForgetsTheProjectLoadedNotTheCurrentOne) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    Drag({3});
    standin::SwitchProject(1);
    Drag({2});
    standin::LoadProjectInto(0);
    EXPECT_EQ(1, standin::CurrentProjectIndex());
    EXPECT_TRUE(CanUndoIn(1));
    EXPECT_FALSE(CanUndoIn(0));
}

// What counts as using a history, with 33 tabs and room for 32 histories: zooming, Undo and Redo
// do; looking at the menu's grey states neither uses nor makes one.
TEST_F(ZoomHistory, UsingAHistoryKeepsItAndLookingMakesNone) {
    const struct {
        const char* name;
        void (*afterZoomingIn1To32)();
        bool (*stillThere)();
    } cases[] = {
        {"zoomed again",
         [] {
             standin::SwitchProject(1);
             Drag({2});
             standin::SwitchProject(0);
             Drag({2});
         },
         [] { return CanUndoIn(1) && !CanUndoIn(2); }},
        {"undone",
         [] {
             standin::SwitchProject(1);
             standin::RunCommand(kUndo);
             standin::SwitchProject(0);
             Drag({2});
         },
         [] { return CanRedoIn(1); }},
        {"redone",
         [] {
             standin::SwitchProject(1);
             standin::RunCommand(kUndo);
             ZoomInProjects(33, Range(2, 33));
             standin::SwitchProject(1);
             standin::RunCommand(kRedo);
             standin::SwitchProject(0);
             Drag({2});
         },
         [] { return CanUndoIn(1) && !CanUndoIn(2); }},
        {"menu shown",
         [] {
             standin::SwitchProject(0);
             standin::CallMenuHook("Main extensions", standin::BuildMainMenu(), 1);
         },
         [] { return CanUndoIn(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(Attach());
        ZoomInProjects(33, Range(1, 33));
        c.afterZoomingIn1To32();
        EXPECT_TRUE(c.stillThere());
        standin::Stop();
    }
}

// Memory stays bounded: the 32 most recently used projects keep their histories.
TEST_F(ZoomHistory, KeepsThe32MostRecentlyUsedProjects) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    std::vector<int> order = Range(1, 33);
    order.push_back(0);  // the first tab, used last
    ZoomInProjects(33, order);
    EXPECT_FALSE(CanUndoIn(1)) << "the least recently used project's history went";
    EXPECT_TRUE(CanUndoIn(2));
    EXPECT_TRUE(CanUndoIn(0));
    EXPECT_TRUE(CanUndoIn(32));
}

// A closed project's history goes at once, so that it never pushes out an open one's.
TEST_F(ZoomHistory, AClosedProjectsHistoryIsDropped) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    std::vector<int> order = Range(1, 32);
    order.push_back(0);
    ZoomInProjects(32, order);
    standin::CloseProjectTab(0);  // the most recently used
    const int added = standin::OpenProjectTab();
    Drag({2});
    EXPECT_TRUE(CanUndoIn(0)) << "the least recently used open project lost its history";
    EXPECT_TRUE(CanUndoIn(added));
}

// Without EnumProjects the current project is the only one, named by null.
TEST_F(ZoomHistory, WithoutEnumProjectsPassesNull) {
    HostOptions options;
    options.withheldFunctions = {"EnumProjects"};
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    const Times before = CurrentView();
    Drag({3});
    standin::RunCommand(kUndo);
    EXPECT_EQ(before.start, CurrentView().start);
    EXPECT_NEAR(before.end, CurrentView().end, 1e-9);
}

TEST_F(ZoomHistory, WithoutGetSetArrangeView2ThereIsNone) {
    HostOptions options;
    options.withheldFunctions = {"GetSet_ArrangeView2"};
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    for (const standin::Registration& r : Record().registrations) {
        if (r.key == "command_id") {
            const std::string name = static_cast<const char*>(r.item);
            EXPECT_TRUE(name == "RUVENKAL" || name == "RUVENKAL_TOGGLE") << name;
        }
    }
    EXPECT_FALSE(standin::RunCommand(kUndo));
    EXPECT_FALSE(standin::RunCommand(kRedo));
    // Escape does nothing special: the drag goes on zooming.
    Drag({3}, false);
    PressEscape(standin::MainWindow());
    standin::SendMouse(WM_MOUSEMOVE, 40, 12, MK_LBUTTON);
    EXPECT_EQ(2u, Record().zoomCalls.size());
}

TEST_F(ZoomHistory, ActionsWithoutCommandIdentifiersAreLeftOut) {
    const struct {
        const char* name;
        int undo, redo;
    } cases[] = {{"no undo", 0, kRedo}, {"no redo", kUndo, 0}, {"neither", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HostOptions options;
        options.undoCommandId = c.undo;
        options.redoCommandId = c.redo;
        ASSERT_NO_FATAL_FAILURE(Attach(options));
        int actions = 0;
        for (const standin::Registration& r : Record().registrations) {
            actions += r.key == "gaccel" ? 1 : 0;
        }
        EXPECT_EQ(2 + (c.undo != 0) + (c.redo != 0), actions);
        EXPECT_FALSE(standin::RunCommand(0));
        EXPECT_EQ(c.undo != 0, standin::RunCommand(kUndo));
        EXPECT_EQ(c.redo != 0, standin::RunCommand(kRedo));
        standin::Stop();
    }
}

TEST_F(ZoomHistory, ActionRecordsAndUnload) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    std::vector<const standin::AccelRegister*> accels;
    for (const standin::Registration& r : Record().registrations) {
        if (r.key == "gaccel") {
            accels.push_back(static_cast<const standin::AccelRegister*>(r.item));
        }
    }
    ASSERT_EQ(4u, accels.size());
    EXPECT_STREQ("Ruvenkal Extension : Undo zoom drag", accels[2]->description);
    EXPECT_STREQ("Ruvenkal Extension : Redo zoom drag", accels[3]->description);
    for (int i : {2, 3}) {
        EXPECT_EQ(0, accels[i]->accel.fVirt);
        EXPECT_EQ(0, accels[i]->accel.key);
        EXPECT_EQ(kUndo + i - 2, accels[i]->accel.cmd);
    }

    Drag({3});
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_EQ(nullptr, standin::RegisteredItem("gaccel"));
    // Attached again, the module has forgotten the views.
    ASSERT_EQ(1, standin::CallEntry());
    const Times now = CurrentView();
    EXPECT_TRUE(standin::RunCommand(kUndo));
    EXPECT_TRUE(CurrentView() == now);
}

}  // namespace
