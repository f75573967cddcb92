// The cost of one mouse message sent to the time display, with and without the extension, and the
// entry's start-up time. Variants run side by side in short alternating bursts; figures are
// medians over rounds, and ratios are taken within each round, since these machines are noisy.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "standin_host.h"

namespace {

constexpr int kBurst = 2000;
constexpr int kRounds = 301;

WNDPROC belowMinimalSubclass = nullptr;

// The floor: any hook has to forward every message like this.
LRESULT CALLBACK MinimalSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(belowMinimalSubclass, window, message, wParam, lParam);
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LPARAM Position(int x, int y) {
    return MAKELPARAM(x, y);
}

// Nanoseconds per mouse-move, over one burst. Moves alternate between two rows of the lower
// half, so that a drag in progress zooms on every one of them.
double BurstNanoseconds(HWND window) {
    const double start = Now();
    for (int i = 0; i < kBurst; ++i) {
        SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Position(200, 15 + (i & 1)));
    }
    return (Now() - start) * 1e9 / kBurst;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

enum Variant { BARE, MINIMAL, ATTACHED_IDLE, ATTACHED_DRAG, VARIANTS };
const char* const kVariantNames[] = {"bare time display", "minimal forwarding subclass",
                                     "extension attached, no drag",
                                     "extension mid-drag, zooming every move"};

double StartupMicroseconds() {
    std::vector<double> times;
    for (int i = 0; i < 31; ++i) {
        standin::HostOptions options;
        options.record = false;
        if (!standin::Start(options)) {
            return -1;
        }
        const double start = Now();
        standin::CallEntry();
        times.push_back((Now() - start) * 1e6);
        standin::Stop();
    }
    return Median(times);
}

}  // namespace

int main() {
    const double startup = StartupMicroseconds();

    standin::HostOptions options;
    options.record = false;
    if (!standin::Start(options) || standin::CallEntry() != 1) {
        std::fprintf(stderr, "bench: the module did not attach\n");
        return 1;
    }
    HWND hooked = standin::TimeDisplay();
    HWND windows[VARIANTS] = {standin::CreateExtraTimeDisplay(), standin::CreateExtraTimeDisplay(),
                              hooked, hooked};
    belowMinimalSubclass = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        windows[MINIMAL], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MinimalSubclass)));

    std::vector<double> nanoseconds[VARIANTS];
    std::vector<double> idleRatio, dragRatio;
    for (int round = 0; round < kRounds; ++round) {
        double perMessage[VARIANTS];
        for (int k = 0; k < VARIANTS; ++k) {
            const int variant = (k + round) % VARIANTS;  // rotate the order against drift
            if (variant == ATTACHED_DRAG) {
                SendMessageA(hooked, WM_LBUTTONDOWN, MK_LBUTTON, Position(200, 15));
            }
            perMessage[variant] = BurstNanoseconds(windows[variant]);
            if (variant == ATTACHED_DRAG) {
                SendMessageA(hooked, WM_LBUTTONUP, 0, Position(200, 15));
            }
        }
        for (int v = 0; v < VARIANTS; ++v) {
            nanoseconds[v].push_back(perMessage[v]);
        }
        idleRatio.push_back(perMessage[ATTACHED_IDLE] / perMessage[MINIMAL]);
        dragRatio.push_back(perMessage[ATTACHED_DRAG] / perMessage[MINIMAL]);
    }
    const long long zoomCalls = standin::Record().zoomCallCount;
    standin::Stop();

    std::printf("ruvenkal benchmark, %s, %d rounds of %d mouse-moves per variant\n",
                sizeof(void*) == 8 ? "x64" : "x86", kRounds, kBurst);
    for (int v = 0; v < VARIANTS; ++v) {
        std::printf("  %-40s %8.1f ns/message (median)\n", kVariantNames[v],
                    Median(nanoseconds[v]));
    }
    std::printf("  attached, no drag / minimal subclass:    %8.3f (median of per-round ratios)\n",
                Median(idleRatio));
    std::printf("  mid-drag / minimal subclass:             %8.3f (median of per-round ratios)\n",
                Median(dragRatio));
    // A burst's first move repeats the press position, which never zooms.
    std::printf("  adjustZoom calls made mid-drag:          %8lld (expected %d)\n", zoomCalls,
                kRounds * (kBurst - 1));
    std::printf("  entry start-up:                          %8.1f us (median of 31)\n", startup);
    return 0;
}
