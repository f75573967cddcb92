#include "gesture/time_display_hook.h"

#include "gesture/drag_gesture.h"
#include "host/module_state.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// Marks the time display as hooked by a copy of this module. Every copy looks for the same name;
// the value tells the copies apart.
const char kHookMark[] = "ruvenkal";

HANDLE ThisModule() {
    return reinterpret_cast<HANDLE>(&__ImageBase);
}

LONG_PTR HookAddress() {
    return reinterpret_cast<LONG_PTR>(&TimeDisplayProc);
}

// Keeps this module loaded for the rest of the process, for a hook that can't be removed.
void PinModule() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&TimeDisplayProc), &self);
}

}  // namespace

LRESULT CALLBACK TimeDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Unloaded, but left in the chain by a later subclass: the host's functions are not ours to
    // call any more.
    if (!moduleState.attached && message != WM_NCDESTROY) {
        return CallWindowProcA(moduleState.previousProc, window, message, wParam, lParam);
    }
    switch (message) {
        // The time display's class takes double-clicks, so a quick second press arrives as one:
        // it starts a drag all the same, and still reaches the host as a double-click.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            BeginDrag(window, wParam, lParam);
            break;
        case WM_MOUSEMOVE:
            if (dragState.active) {
                // Windows sets MK_LBUTTON on every move while the button is held. Without it, the
                // button-up went elsewhere (a window opened by a double-click, say), and hovering
                // must not zoom.
                if ((wParam & MK_LBUTTON) == 0) {
                    EndDrag();
                } else {
                    lParam = TrackDragMove(lParam);
                }
            }
            break;
        case WM_LBUTTONUP:
            EndDrag();
            break;
        // The button-up will go to whichever window took the capture (Alt+Tab, a pop-up): without
        // this, hovering with no button held would go on zooming until the next click.
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != window) {
                EndDrag();
            }
            break;
        case WM_CANCELMODE:
            EndDrag();
            break;
        case WM_NCDESTROY: {
            // The host may destroy the window before it unloads the module: nothing may later be
            // done to this handle, which the system can give to a new window.
            const LRESULT result =
                CallWindowProcA(moduleState.previousProc, window, message, wParam, lParam);
            ForgetTimeDisplay(window);
            return result;
        }
        default:
            break;
    }
    return CallWindowProcA(moduleState.previousProc, window, message, wParam, lParam);
}

bool TimeDisplayHookedByAnotherCopy(HWND timeDisplay) {
    HANDLE mark = GetPropA(timeDisplay, kHookMark);
    return mark != nullptr && mark != ThisModule();
}

void InstallTimeDisplayHook(HWND timeDisplay) {
    // Still in this window's chain from before a detach that could not unhook: hooking again
    // would make the procedure forward to itself.
    if (moduleState.timeDisplay == timeDisplay) {
        return;
    }
    SetPropA(timeDisplay, kHookMark, ThisModule());
    moduleState.previousProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(timeDisplay, GWLP_WNDPROC, HookAddress()));
    moduleState.timeDisplay = timeDisplay;
}

void RemoveTimeDisplayHook() {
    HWND timeDisplay = moduleState.timeDisplay;
    if (timeDisplay == nullptr) {
        return;
    }
    if (GetWindowLongPtrA(timeDisplay, GWLP_WNDPROC) == HookAddress()) {
        SetWindowLongPtrA(timeDisplay, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(moduleState.previousProc));
        ForgetTimeDisplay(timeDisplay);
    } else if (IsWindow(timeDisplay)) {
        // Still in the chain: the mark stays with the hook, so no other copy hooks in as well.
        PinModule();
    } else {
        ForgetTimeDisplay(timeDisplay);
    }
}

void ForgetTimeDisplay(HWND timeDisplay) {
    if (timeDisplay != moduleState.timeDisplay) {
        return;
    }
    EndDrag();
    if (GetPropA(timeDisplay, kHookMark) == ThisModule()) {
        RemovePropA(timeDisplay, kHookMark);
    }
    moduleState.timeDisplay = nullptr;
}
