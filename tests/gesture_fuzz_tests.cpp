// Thousands of random, seeded message sequences sent to the hooked time display, checked against
// the gesture's invariants. Replay a failure with RUVENKAL_FUZZ_SEED set to the printed seed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::Record;

namespace {

struct Event {
    UINT message;
    int x, y;
    WPARAM keys;  // any bits, Shift and Ctrl among them; must pass through as sent
    bool alt;     // held in the thread's key state while the message is handled
};

struct Settings {
    float scale;
    int mask;
    int height;
    int lock;
    int focus;
    int enabled;
    int modifier;
    int threshold;
};

const char* MessageName(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            return "down";
        case WM_LBUTTONUP:
            return "up";
        case WM_MOUSEMOVE:
            return "move";
        case WM_LBUTTONDBLCLK:
            return "dblclk";
        case WM_RBUTTONDOWN:
            return "rdown";
        case WM_CAPTURECHANGED:
            return "capturechanged";
        case WM_CANCELMODE:
            return "cancelmode";
        default:
            return "other";
    }
}

std::string Describe(const std::vector<Event>& events) {
    std::ostringstream text;
    for (const Event& e : events) {
        text << "  " << MessageName(e.message) << " (" << e.x << ", " << e.y << ") keys 0x"
             << std::hex << e.keys << std::dec << (e.alt ? " alt" : "");
        if (e.message == WM_CAPTURECHANGED) {
            text << (e.x % 2 != 0 ? " to the time display" : " to another window");
        }
        text << "\n";
    }
    return text.str();
}

std::vector<Event> RandomSequence(std::mt19937& random) {
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> step(-3, 3);
    std::uniform_int_distribution<int> nearby(-60, 460);
    std::uniform_int_distribution<int> any(-32768, 32767);
    const int extremes[] = {-32768, -1, 0, 32767};

    std::vector<Event> events;
    int x = 100;
    int y = 10;
    const int length = 1 + static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) {
        const int kind = percent(random);
        const UINT message = kind < 12   ? WM_LBUTTONDOWN
                             : kind < 20 ? WM_LBUTTONUP
                             : kind < 24 ? WM_LBUTTONDBLCLK
                             : kind < 30 ? (kind % 2 ? WM_RBUTTONDOWN : WM_USER + 9)
                             : kind < 33 ? WM_CAPTURECHANGED
                             : kind < 34 ? WM_CANCELMODE
                                         : WM_MOUSEMOVE;
        const int where = percent(random);
        if (where < 60) {
            x += step(random);
            y += step(random);
        } else if (where < 85) {
            x = nearby(random);
            y = nearby(random) / 10;
        } else if (where < 93) {
            x = any(random);
            y = any(random);
        } else {
            x = extremes[random() % 4];
            y = extremes[random() % 4];
        }
        x = std::max(-32768, std::min(32767, x));
        y = std::max(-32768, std::min(32767, y));
        // Windows sets MK_LBUTTON on every move while the button is held; a move without it says
        // that the button went up elsewhere.
        WPARAM keys = random() & 0xFFFF;
        if (message == WM_MOUSEMOVE && percent(random) < 90) {
            keys |= MK_LBUTTON;
        }
        events.push_back({message, x, y, keys, percent(random) < 25});
    }
    return events;
}

// What the message carries in lParam: a position, or for WM_CAPTURECHANGED the window that takes
// the capture, the time display itself for an odd x.
LPARAM LParamOf(const Event& e) {
    if (e.message == WM_CAPTURECHANGED) {
        return reinterpret_cast<LPARAM>(e.x % 2 != 0 ? standin::TimeDisplay()
                                                     : standin::MainWindow());
    }
    return standin::MousePosition(e.x, e.y);
}

// Whether a press with these keys may zoom: the keys each setting asks for, exactly.
bool KeysMatch(const Event& press, int modifier) {
    const bool shift = (press.keys & MK_SHIFT) != 0;
    const bool ctrl = (press.keys & MK_CONTROL) != 0;
    switch (modifier) {
        case 1:
            return !shift && !ctrl && !press.alt;
        case 2:
            return shift && !ctrl && !press.alt;
        case 3:
            return !shift && ctrl && !press.alt;
        case 4:
            return !shift && !ctrl && press.alt;
        default:
            return true;
    }
}

// What an observer knows of the drag in progress: where it began and how it first moved.
struct Drag {
    bool active = false;
    bool interrupted = false;  // the capture went elsewhere, or the mode was cancelled
    bool lower = false;
    int startX = 0, startY = 0, lastX = 0, lastY = 0;
    int axis = 0;  // 0 undecided, 1 horizontal, 2 vertical
    double amounts = 0;
};

int Distance(int from, int to) {
    return to > from ? to - from : from - to;
}

// The vertical distance from the press that an upper-half drag zooms by: what lies beyond the
// band of `threshold` pixels around the press.
int BeyondBand(int d, int threshold) {
    return d > threshold ? d - threshold : d < -threshold ? d + threshold : 0;
}

// A move of an active drag: decides the axis where it is due, and returns the position that the
// time display must receive.
LPARAM TrackMove(Drag* drag, const Event& e, const Settings& settings) {
    const bool moved = e.x != drag->lastX || e.y != drag->lastY;
    const bool firstMove = drag->axis == 0;
    drag->lastX = e.x;
    drag->lastY = e.y;
    if (firstMove && drag->lower && settings.lock > 0) {
        const int alongX = Distance(drag->startX, e.x);
        const int alongY = Distance(drag->startY, e.y);
        if (alongX < settings.lock && alongY < settings.lock) {
            return standin::MousePosition(drag->startX, drag->startY);
        }
        drag->axis = alongX >= alongY ? 1 : 2;
    } else if (firstMove && moved) {
        drag->axis = e.x != drag->startX ? 1 : 2;
    }
    if (!moved || !drag->lower) {
        return standin::MousePosition(e.x, e.y);
    }
    return drag->axis == 1 ? standin::MousePosition(e.x, drag->startY)
                           : standin::MousePosition(drag->startX, e.y);
}

// Sends the events to the time display (after a button-up that leaves the gesture idle) and
// returns the first broken invariant, or an empty text.
std::string Check(const std::vector<Event>& events, const Settings& settings) {
    standin::SendMouse(WM_LBUTTONUP, 0, 0);
    Drag drag;
    for (size_t i = 0; i < events.size(); ++i) {
        const Event& e = events[i];
        std::ostringstream where;
        where << "event " << i << " (" << MessageName(e.message) << "): ";
        Record().timeDisplayMessages.clear();
        const size_t zoomsBefore = Record().zoomCalls.size();
        const WPARAM keys = e.keys;

        standin::HoldAlt(e.alt);
        const LRESULT result = SendMessageW(standin::TimeDisplay(), e.message, keys, LParamOf(e));
        standin::HoldAlt(false);

        const auto& got = Record().timeDisplayMessages;
        int copies = 0;
        for (const auto& m : got) {
            copies += m.message == e.message ? 1 : 0;
        }
        if (got.empty() || got[0].message != e.message || got[0].wParam != keys || copies != 1) {
            return where.str() + "not delivered exactly once as sent";
        }
        if (result != standin::TimeDisplayResult(0)) {
            return where.str() + "the time display's result did not come back";
        }
        const size_t zooms = Record().zoomCalls.size() - zoomsBefore;
        if (zooms > (e.message == WM_MOUSEMOVE ? 1u : 0u)) {
            return where.str() + "too many adjustZoom calls";
        }
        if (zooms == 1) {
            const standin::ZoomCall& call = Record().zoomCalls.back();
            if (!std::isfinite(call.amount) || call.forceSet != 0 || call.doUpdate != 0 ||
                call.centerMode != settings.focus) {
                return where.str() + "adjustZoom called with bad arguments";
            }
            drag.amounts += call.amount;
        }

        LPARAM expected = LParamOf(e);
        if (e.message == WM_CANCELMODE ||
            (e.message == WM_CAPTURECHANGED &&
             reinterpret_cast<HWND>(expected) != standin::TimeDisplay())) {
            drag.active = false;
            drag.interrupted = true;
        }
        // A double-click's second press is a press like any other.
        if (e.message == WM_LBUTTONDOWN || e.message == WM_LBUTTONDBLCLK) {
            drag = Drag();
            drag.lower = 2 * e.y > settings.height + 1;
            drag.active = settings.enabled != 0 && (settings.mask & (drag.lower ? 2 : 1)) != 0 &&
                          KeysMatch(e, settings.modifier);
            drag.startX = drag.lastX = e.x;
            drag.startY = drag.lastY = e.y;
        } else if (e.message == WM_LBUTTONUP) {
            drag.active = false;
        } else if (e.message == WM_MOUSEMOVE && drag.active && (keys & MK_LBUTTON) == 0) {
            drag.active = false;
        } else if (e.message == WM_MOUSEMOVE && drag.active) {
            expected = TrackMove(&drag, e, settings);
            // In the lower half nothing zooms before a vertical decision, and after it the
            // amounts add up to all the vertical movement since the press, whatever the lock.
            // In the upper half they add up to the movement beyond the band.
            const int moved = e.y - drag.startY;
            const double net = !drag.lower      ? BeyondBand(moved, settings.threshold)
                               : drag.axis == 2 ? static_cast<double>(moved)
                                                : 0.0;
            if (drag.amounts != static_cast<double>(settings.scale) * net) {
                return where.str() + "zoom amounts don't add up to scale times the movement";
            }
        }
        if (e.message != WM_MOUSEMOVE || !drag.active) {
            if (zooms != 0) {
                return where.str() + "zoomed outside an active drag";
            }
        }
        if (drag.interrupted && zooms != 0) {
            return where.str() + "zoomed after losing the capture, before the next press";
        }
        if (got[0].lParam != expected) {
            return where.str() + "forwarded position is wrong";
        }
    }
    return "";
}

// Drops events one at a time while the sequence still fails.
std::vector<Event> Shrink(std::vector<Event> events, const Settings& settings) {
    for (size_t i = 0; i < events.size();) {
        std::vector<Event> shorter;
        for (size_t j = 0; j < events.size(); ++j) {
            if (j != i) {
                shorter.push_back(events[j]);
            }
        }
        if (!Check(shorter, settings).empty()) {
            events = shorter;
        } else {
            ++i;
        }
    }
    return events;
}

unsigned BaseSeed() {
    const char* seed = std::getenv("RUVENKAL_FUZZ_SEED");
    return seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 20261210u;
}

using GestureFuzz = HostTest;

TEST_F(GestureFuzz, RandomSequencesKeepTheInvariants) {
    const float scales[] = {0.1f, 0.0f, -0.75f, 1e-7f, 3e38f, -3e38f, 0.333f, 12345.678f};
    const int masks[] = {3, 0, 1, 2, -1, 4, 7};
    const int locks[] = {0, 1, 6, 0, 64};
    const int modifiers[] = {0, 1, 2, 0, 3, 4, 0};
    const int thresholds[] = {0, 8, 0, 1, 64, 0};
    const unsigned base = BaseSeed();
    const bool replay = std::getenv("RUVENKAL_FUZZ_SEED") != nullptr;
    int sequences = 0;

    for (int combination = 0; combination < 56; ++combination) {
        const Settings settings = {scales[combination % 8],        masks[combination % 7],
                                   20 + combination % 2,           locks[combination % 5],
                                   combination / 3 % 5 - 1,        combination % 11 == 10 ? 0 : 1,
                                   modifiers[combination / 4 % 7], thresholds[combination / 2 % 6]};
        char ini[224];
        std::snprintf(ini, sizeof ini,
                      "[ruvenkal]\r\nscale=%.9g\r\nmask=%d\r\nlock=%d\r\nfocus=%d\r\n"
                      "enabled=%d\r\nmodifier=%d\r\nthreshold=%d\r\n",
                      static_cast<double>(settings.scale), settings.mask, settings.lock,
                      settings.focus, settings.enabled, settings.modifier, settings.threshold);
        standin::HostOptions options;
        options.iniText = ini;
        options.timeDisplayHeight = settings.height;
        ASSERT_NO_FATAL_FAILURE(Attach(options));

        for (int i = 0; i < (replay ? 1 : 80); ++i, ++sequences) {
            // A replayed seed runs under every combination of settings, the failing one among
            // them.
            const unsigned seed =
                replay ? base : base + static_cast<unsigned>(combination * 1000 + i);
            std::mt19937 random(seed);
            const std::vector<Event> events = RandomSequence(random);
            const std::string failure = Check(events, settings);
            if (!failure.empty()) {
                const std::vector<Event> shortest = Shrink(events, settings);
                FAIL() << failure << "\nseed " << seed << ", scale " << settings.scale << ", mask "
                       << settings.mask << ", height " << settings.height << ", lock "
                       << settings.lock << ", focus " << settings.focus << ", enabled "
                       << settings.enabled << ", modifier " << settings.modifier << ", threshold "
                       << settings.threshold << "\nshortest failing sequence:\n"
                       << Describe(shortest)
                       << "as failed after shrinking: " << Check(shortest, settings);
            }
        }
    }
    std::printf("%d sequences checked\n", sequences);
}

}  // namespace
