// Each test gets a fresh stand-in host with a freshly loaded copy of the module.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "standin_host.h"

// The command identifiers the stand-in gives the two actions unless a test asks otherwise.
inline const int kShowConfig = standin::HostOptions().commandId;
inline const int kToggle = standin::HostOptions().toggleCommandId;

class HostTest : public ::testing::Test {
protected:
    void TearDown() override { standin::Stop(); }

    // Starts the host and calls the entry as the host does after loading the module.
    static void Attach(const standin::HostOptions& options = {}) {
        ASSERT_TRUE(standin::Start(options));
        ASSERT_EQ(1, standin::CallEntry());
        ASSERT_TRUE(standin::TimeDisplayIsSubclassed());
    }
};

// The zoom amount of a one-pixel drag down in each half of the default 20-pixel time display,
// NaN for a half that doesn't zoom: what the applied settings look like from outside.
struct HalfAmounts {
    double upper;
    double lower;
};

inline HalfAmounts ZoomPerPixelInEachHalf() {
    HalfAmounts amounts = {std::nan(""), std::nan("")};
    double* halves[] = {&amounts.upper, &amounts.lower};
    const int pressY[] = {3, 15};
    for (int half = 0; half < 2; ++half) {
        const size_t before = standin::Record().zoomCalls.size();
        standin::SendMouse(WM_LBUTTONDOWN, 50, pressY[half]);
        standin::SendMouse(WM_MOUSEMOVE, 50, pressY[half] + 1, MK_LBUTTON);
        standin::SendMouse(WM_LBUTTONUP, 50, pressY[half] + 1);
        if (standin::Record().zoomCalls.size() > before) {
            *halves[half] = standin::Record().zoomCalls.back().amount;
        }
    }
    return amounts;
}

// What a drag straight down from the top of the lower half shows of the settings beyond scale
// and mask: whether it zooms at all, the zoom focus, and after how many pixels the first zoom
// comes (the lock distance, or 1 without one). Needs the lower half enabled.
struct GestureSettings {
    bool zooms;
    int focus;
    int firstZoomAfter;
};

inline GestureSettings ObserveGestureSettings() {
    GestureSettings seen = {false, 0, 0};
    const size_t before = standin::Record().zoomCalls.size();
    const int pressY = standin::Options().timeDisplayHeight / 2 + 1;
    standin::SendMouse(WM_LBUTTONDOWN, 50, pressY);
    for (int pixels = 1; pixels <= 70 && !seen.zooms; ++pixels) {
        standin::SendMouse(WM_MOUSEMOVE, 50, pressY + pixels, MK_LBUTTON);
        if (standin::Record().zoomCalls.size() > before) {
            seen = {true, standin::Record().zoomCalls.back().centerMode, pixels};
        }
    }
    standin::SendMouse(WM_LBUTTONUP, 50, pressY);
    return seen;
}

// Keys held at a press: Shift and Ctrl travel in the message, Alt in the thread's key state.
struct HeldKeys {
    const char* name;
    WPARAM flags;
    bool alt;
};

const HeldKeys kHeldKeys[] = {
    {"none", 0, false},
    {"Shift", MK_SHIFT, false},
    {"Ctrl", MK_CONTROL, false},
    {"Alt", 0, true},
    {"Shift+Ctrl", MK_SHIFT | MK_CONTROL, false},
    {"Ctrl+Alt", MK_CONTROL, true},
};
constexpr int kHeldKeysCount = sizeof kHeldKeys / sizeof kHeldKeys[0];

// Presses with `keys` at (x, y), drags 4 pixels down and releases; true if that zoomed.
inline bool DragZooms(const HeldKeys& keys, int x, int y) {
    const size_t before = standin::Record().zoomCalls.size();
    standin::HoldAlt(keys.alt);
    standin::SendMouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON | keys.flags);
    standin::HoldAlt(false);
    standin::SendMouse(WM_MOUSEMOVE, x, y + 4, MK_LBUTTON);
    standin::SendMouse(WM_LBUTTONUP, x, y + 4);
    return standin::Record().zoomCalls.size() > before;
}

// Which of kHeldKeys start a zoom in the upper half, by name: "none Alt", say.
inline std::string KeysThatZoom() {
    std::string names;
    for (const HeldKeys& keys : kHeldKeys) {
        if (DragZooms(keys, 50, 3)) {
            names += (names.empty() ? "" : " ") + std::string(keys.name);
        }
    }
    return names;
}

// The work area of the monitor that `window` is on.
inline RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

inline HWND FindConfigDialog() {
    return FindWindowA(reinterpret_cast<LPCSTR>(32770), "Ruvenkal config");
}

// The whole file, byte for byte; empty when it doesn't exist.
inline std::string ReadTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Names a parameterized case after its `name` field.
struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};
