#include "sandbox_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "standin_host.h"

SandboxView sandboxView = {0, false, {}, 0, 0, {1.0, 5.5, 8.5}};

namespace {

// Far outside the window when zoomed in a long way: kept to what GDI takes.
int XOf(double seconds) {
    const double x = (seconds - standin::ArrangeView().startSeconds) * standin::ZoomLevel();
    return static_cast<int>(std::lround(std::clamp(x, -1e6, 1e6)));
}

void Text(HDC dc, int x, int y, const char* text) {
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

void FillRect(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    ::FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color, int width = 1) {
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// The smallest tick step that keeps labels at least 70 pixels apart.
double TickStep(double pixelsPerSecond) {
    const double steps[] = {0.001, 0.005, 0.01, 0.05, 0.1, 0.5, 1, 5, 10, 30, 60, 300, 600, 3600};
    for (double step : steps) {
        if (step * pixelsPerSecond >= 70) {
            return step;
        }
    }
    return 3600;
}

// A ruler's label: minutes and seconds, with as many decimals as the step needs.
void TimeLabel(char* label, size_t size, double seconds, double step) {
    const int minutes = static_cast<int>(seconds / 60);
    const double rest = seconds - minutes * 60.0;
    const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : step >= 0.01 ? 2 : 3;
    std::snprintf(label, size, "%d:%0*.*f", minutes, decimals > 0 ? decimals + 3 : 2, decimals,
                  rest);
}

constexpr int kMarkerFlagWidth = 14;

// Each marker as the host draws it: a numbered flag at the top of the ruler, and its line.
void PaintMarkers(HDC dc, const RECT& client) {
    for (int i = 0; i < kMarkerCount; ++i) {
        const int x = MarkerX(i);
        if (x < -kMarkerFlagWidth || x >= client.right) {
            continue;
        }
        Line(dc, x, 0, x, client.bottom / 2, RGB(240, 170, 60));
        FillRect(dc, {x, 0, x + kMarkerFlagWidth, client.bottom / 2 - 10}, RGB(240, 170, 60));
        char number[4];
        std::snprintf(number, sizeof number, "%d", i + 1);
        SetTextColor(dc, RGB(30, 30, 30));
        Text(dc, x + 3, 0, number);
    }
}

}  // namespace

int MarkerX(int marker) {
    return XOf(sandboxView.markerSeconds[marker]);
}

int MarkerAt(HWND timeDisplay, int x, int y) {
    RECT client;
    GetClientRect(timeDisplay, &client);
    if (y < 0 || y >= client.bottom / 2) {
        return -1;
    }
    for (int i = kMarkerCount - 1; i >= 0; --i) {
        if (x >= MarkerX(i) - 2 && x < MarkerX(i) + kMarkerFlagWidth) {
            return i;
        }
    }
    return -1;
}

// Drawn as the host's ruler looks: times along it with ticks that follow the view, and the edit
// cursor, which a sideways drag moves.
void PaintTimeDisplay(HWND timeDisplay) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(timeDisplay, &paint);
    RECT client;
    GetClientRect(timeDisplay, &client);
    FillRect(dc, {0, 0, client.right, client.bottom}, RGB(51, 55, 61));
    Line(dc, 0, client.bottom - 1, client.right, client.bottom - 1, RGB(24, 26, 30));

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(200, 206, 214));
    const standin::View& view = standin::ArrangeView();
    const double step = TickStep(standin::ZoomLevel());
    const double minor = step / 5;
    const double first = std::floor(view.startSeconds / step) * step;
    for (int i = 0; i < 10000 && XOf(first + i * minor) < client.right; ++i) {
        const double seconds = first + i * minor;
        const int x = XOf(seconds);
        if (i % 5 == 0) {
            Line(dc, x, client.bottom / 2, x, client.bottom, RGB(160, 168, 178));
            char label[32];
            TimeLabel(label, sizeof label, seconds, step);
            Text(dc, x + 4, client.bottom / 2 - 14, label);
        } else {
            Line(dc, x, client.bottom - 7, x, client.bottom, RGB(110, 118, 128));
        }
    }
    PaintMarkers(dc, client);
    const int cursor = XOf(view.cursorSeconds);
    if (cursor >= 0 && cursor < client.right) {
        Line(dc, cursor, 0, cursor, client.bottom, RGB(230, 60, 60), 2);
        const POINT marker[] = {{cursor - 5, 0}, {cursor + 6, 0}, {cursor, 7}};
        HBRUSH brush = CreateSolidBrush(RGB(230, 60, 60));
        HGDIOBJ old = SelectObject(dc, brush);
        Polygon(dc, marker, 3);
        SelectObject(dc, old);
        DeleteObject(brush);
    }
    EndPaint(timeDisplay, &paint);
}

void PaintTimeline(HWND mainWindow, int top) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(mainWindow, &paint);
    RECT client;
    GetClientRect(mainWindow, &client);
    FillRect(dc, {0, 0, client.right, top}, RGB(225, 228, 232));
    FillRect(dc, {0, top, client.right, client.bottom}, RGB(245, 246, 248));
    SetBkMode(dc, TRANSPARENT);

    const double pixelsPerSecond = standin::ZoomLevel();
    const standin::View& view = standin::ArrangeView();
    char status[200];
    std::snprintf(
        status, sizeof status,
        "Zoom: %.2f px/s    View from: %.3f s    Cursor: %.3f s    adjustZoom calls: %lld    "
        "Play (space bar): %lld",
        pixelsPerSecond, view.startSeconds, view.cursorSeconds, sandboxView.zoomCalls,
        sandboxView.plays);
    SetTextColor(dc, RGB(40, 40, 40));
    Text(dc, 12, top + 8, status);
    if (sandboxView.pressed) {
        std::snprintf(status, sizeof status, "Keys at the last press: %s    That drag zooms: %s",
                      sandboxView.pressKeys,
                      sandboxView.zoomCalls > sandboxView.zoomCallsAtPress ? "yes" : "not yet");
        Text(dc, 12, top + 26, status);
    }

    const int rulerTop = top + 52;
    const double step = TickStep(pixelsPerSecond);
    const double first = std::ceil(view.startSeconds / step);
    for (int i = 0; i < 2000 && XOf((first + i) * step) < client.right; ++i) {
        const double seconds = (first + i) * step;
        const int x = XOf(seconds);
        Line(dc, x, rulerTop, x, client.bottom, RGB(210, 214, 220));
        char label[32];
        std::snprintf(label, sizeof label, "%g s", seconds);
        Text(dc, x + 3, rulerTop, label);
    }
    // A few "items" on the timeline, so that zooming is easy to see.
    const double items[][2] = {{0.5, 2.0}, {3.0, 4.5}, {6.0, 9.0}, {10.5, 11.0}};
    for (const auto& item : items) {
        const int left = XOf(item[0]);
        const int right = XOf(item[1]);
        if (left < client.right && right >= 0) {
            FillRect(dc, {left, rulerTop + 30, std::max(left + 2, right), rulerTop + 80},
                     RGB(110, 150, 210));
        }
    }
    const int cursor = XOf(view.cursorSeconds);
    if (cursor >= 0 && cursor < client.right) {
        Line(dc, cursor, rulerTop, cursor, client.bottom, RGB(220, 40, 40), 2);
    }
    EndPaint(mainWindow, &paint);
}
