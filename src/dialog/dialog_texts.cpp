#include "dialog/dialog_texts.h"

#include <cmath>
#include <cstring>

#include "texts/ui_texts.h"

namespace {

constexpr int kTextSize = 512;

// The window's text, by its English one, in the user's language.
void LocalizeWindowText(HWND window) {
    wchar_t wide[kTextSize] = {};
    GetWindowTextW(window, wide, kTextSize);
    char english[kTextSize * 3] = {};
    if (wide[0] == L'\0' ||
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, english, sizeof english, nullptr, nullptr) == 0) {
        return;
    }
    const char* localized = LocalizedDialogText(english);
    if (localized != nullptr && std::strcmp(localized, english) != 0) {
        SetWindowTextUtf8(window, localized);
    }
}

// Measures texts in one control's own font.
struct TextMeasure {
    HWND control;
    HDC dc;
    HGDIOBJ previousFont;
    int averageCharWidth;
};

TextMeasure BeginMeasure(HWND control) {
    TextMeasure measure = {control, GetDC(control), nullptr, 0};
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    measure.previousFont = font != nullptr ? SelectObject(measure.dc, font) : nullptr;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(measure.dc, &metrics);
    measure.averageCharWidth = metrics.tmAveCharWidth;
    return measure;
}

void EndMeasure(const TextMeasure& measure) {
    if (measure.previousFont != nullptr) {
        SelectObject(measure.dc, measure.previousFont);
    }
    ReleaseDC(measure.control, measure.dc);
}

// Width and height of `text` drawn as the control draws it: on one line, or wrapped at `wrapAt`.
SIZE TextSize(const TextMeasure& measure, const wchar_t* text, UINT format, int wrapAt = 0) {
    RECT rect = {0, 0, wrapAt, 0};
    const UINT layout = wrapAt > 0 ? DT_WORDBREAK : DT_SINGLELINE;
    DrawTextW(measure.dc, text, -1, &rect, DT_CALCRECT | layout | format);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

UINT PrefixFormat(LONG style, LONG noPrefix) {
    return (style & noPrefix) != 0 ? DT_NOPREFIX : 0;
}

// The least width whose wrapped text fits `height`, for a text that may take several lines.
int WrappedWidth(const TextMeasure& measure, const wchar_t* text, int from, int height) {
    const int widest = TextSize(measure, text, 0).cx;
    int width = from > 1 ? from : 1;
    while (width < widest && TextSize(measure, text, 0, width).cy > height) {
        width += measure.averageCharWidth > 0 ? measure.averageCharWidth : 1;
    }
    return width < widest ? width : widest;
}

// The width a control needs to show its whole text (and, for a list, every item).
int NeededWidth(HWND control, const RECT& rect) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    wchar_t text[kTextSize] = {};
    GetWindowTextW(control, text, kTextSize);
    const TextMeasure measure = BeginMeasure(control);
    const int margin = measure.averageCharWidth;
    int needed = 0;
    if (lstrcmpiW(className, L"Static") == 0) {
        needed = TextSize(measure, text, PrefixFormat(style, SS_NOPREFIX)).cx;
    } else if (lstrcmpiW(className, L"Button") == 0 && text[0] != L'\0') {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) {
            needed = TextSize(measure, text, 0).cx + 2 * margin + 8;
        } else {
            const int box = GetSystemMetrics(SM_CXMENUCHECK) + margin;
            const int height = rect.bottom - rect.top;
            const int textWidth =
                (style & BS_MULTILINE) != 0
                    ? WrappedWidth(measure, text, rect.right - rect.left - box, height)
                    : TextSize(measure, text, 0).cx;
            needed = box + textWidth;
        }
    } else if (lstrcmpiW(className, L"ComboBox") == 0) {
        const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[kTextSize] = {};
            if (SendMessageW(control, CB_GETLBTEXTLEN, i, 0) < kTextSize &&
                SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item)) != CB_ERR) {
                const int width = TextSize(measure, item, DT_NOPREFIX).cx;
                needed = width > needed ? width : needed;
            }
        }
        needed += GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE) + margin;
    }
    EndMeasure(measure);
    return needed;
}

// Each control's place in the dialog's client area; a drop-down list's with its list.
RECT ControlRect(HWND dialog, HWND control) {
    RECT rect = {};
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"ComboBox") != 0 ||
        !SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rect))) {
        GetWindowRect(control, &rect);
    }
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The least factor that fits every text, but no wider than the monitor's work area allows.
double WideningFactor(HWND dialog) {
    double factor = 1.0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        const RECT rect = ControlRect(dialog, control);
        const int width = rect.right - rect.left;
        const int needed = NeededWidth(control, rect);
        if (width > 0 && needed > width) {
            const double wanted = static_cast<double>(needed) / width;
            factor = wanted > factor ? wanted : factor;
        }
    }
    RECT client = {};
    RECT outer = {};
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &outer);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (client.right > 0 &&
        GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const int room = (monitor.rcWork.right - monitor.rcWork.left) - (outer.right - outer.left);
        const double widest = 1.0 + static_cast<double>(room) / client.right;
        factor = factor < widest ? factor : widest;
    }
    return factor > 1.0 ? factor : 1.0;
}

int Scaled(int x, double factor) {
    return static_cast<int>(std::ceil(x * factor));
}

// Horizontal positions and widths grow by `factor`; heights and vertical positions stay.
void Widen(HWND dialog, double factor) {
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        const RECT rect = ControlRect(dialog, control);
        const int left = Scaled(rect.left, factor);
        MoveWindow(control, left, rect.top, Scaled(rect.right, factor) - left,
                   rect.bottom - rect.top, FALSE);
    }
    RECT client = {};
    RECT outer = {};
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &outer);
    const int width = outer.right - outer.left + Scaled(client.right, factor) - client.right;
    SetWindowPos(dialog, nullptr, 0, 0, width, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

}  // namespace

void LocalizeDialog(HWND dialog) {
    if (!DialogTextsTranslated()) {
        return;
    }
    LocalizeWindowText(dialog);
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        LocalizeWindowText(control);
    }
    const double factor = WideningFactor(dialog);
    if (factor > 1.0) {
        Widen(dialog, factor);
    }
}
