// Where the dialog opens, computed from the rectangles the system gives: Wine's desktop can't be
// given a taskbar, nor a second monitor, so the arithmetic is checked on its own here.
#include <gtest/gtest.h>

#include "dialog/dialog_placement.h"

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 100;
const RECT kScreen = {0, 0, 1280, 1024};
const RECT kUsualWindow = {100, 100, 900, 700};

struct PlacementCase {
    const char* name;
    MainWindowPlace main;
    MonitorPlace monitor;
    POINT expected;
};

MainWindowPlace Shown(RECT window) {
    return {window, false, {}, false};
}

// Minimised far off screen, to be restored to `normal` (workspace coordinates).
MainWindowPlace Minimised(RECT normal, bool restoresMaximised = false) {
    return {{-32000, -32000, -31840, -31970}, true, normal, restoresMaximised};
}

const MonitorPlace kWholeScreen = {kScreen, kScreen};
const MonitorPlace kBottomTaskbar = {kScreen, {0, 0, 1280, 984}};
const MonitorPlace kTopTaskbar = {kScreen, {0, 40, 1280, 1024}};
const MonitorPlace kLeftTaskbar = {kScreen, {60, 0, 1280, 1024}};
const MonitorPlace kTopLeftTaskbars = {kScreen, {60, 40, 1280, 1024}};
const MonitorPlace kSecondMonitor = {{1280, 0, 3200, 1080}, {1330, 0, 3200, 1080}};

const PlacementCase kCases[] = {
    {"CentredOverTheWindow", Shown(kUsualWindow), kBottomTaskbar, {400, 350}},
    {"MinimisedOverItsRestoredPlace", Minimised(kUsualWindow), kWholeScreen, {400, 350}},
    // Workspace coordinates start below a taskbar at the top, and right of one at the left.
    {"MinimisedWithATaskbarAtTheTop", Minimised(kUsualWindow), kTopTaskbar, {400, 390}},
    {"MinimisedWithATaskbarAtTheLeft", Minimised(kUsualWindow), kLeftTaskbar, {460, 350}},
    {"MinimisedOnASecondMonitor", Minimised({1400, 100, 2200, 700}), kSecondMonitor, {1750, 350}},
    // Restored maximised, it will fill the work area: centred there.
    {"MinimisedFromMaximised", Minimised(kUsualWindow, true), kTopTaskbar, {540, 482}},
    {"MaximisedOnASecondMonitor", Minimised(kUsualWindow, true), kSecondMonitor, {2165, 490}},
    // Always wholly on the work area.
    {"MostlyOffTheBottomRight", Shown({1100, 900, 1900, 1500}), kBottomTaskbar, {1080, 884}},
    {"OffTheTopLeft", Shown({-3000, -2000, -2200, -1400}), kTopLeftTaskbars, {60, 40}},
    {"JustInsideBottomRight", Shown({780, 674, 1580, 1274}), kWholeScreen, {1080, 924}},
    {"OnePixelOverBottomRight", Shown({781, 675, 1581, 1275}), kWholeScreen, {1080, 924}},
    {"JustInsideTopLeft", Shown({-300, -250, 500, 350}), kWholeScreen, {0, 0}},
    {"OnePixelOverTopLeft", Shown({-301, -251, 499, 349}), kWholeScreen, {0, 0}},
};

class WhereTheDialogOpens : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(WhereTheDialogOpens, IsCentredAndOnTheWorkArea) {
    const PlacementCase& c = GetParam();
    const POINT position = DialogPosition(kWidth, kHeight, c.main, c.monitor);
    EXPECT_EQ(c.expected.x, position.x);
    EXPECT_EQ(c.expected.y, position.y);
}

INSTANTIATE_TEST_SUITE_P(Windows, WhereTheDialogOpens, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PlacementCase>& param) {
                             return std::string(param.param.name);
                         });

// Larger than the work area: its top-left corner stays on it, with the caption and close box.
TEST(WhereALargeDialogOpens, KeepsItsCornerOnTheWorkArea) {
    const POINT position = DialogPosition(2000, 1500, Shown(kUsualWindow), kTopLeftTaskbars);
    EXPECT_EQ(60, position.x);
    EXPECT_EQ(40, position.y);
}

}  // namespace
