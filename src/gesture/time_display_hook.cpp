#include "gesture/time_display_hook.h"

#include "gesture/drag_gesture.h"
#include "host/module_state.h"

namespace {

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
    switch (message) {
        case WM_LBUTTONDOWN:
            BeginDrag(window, lParam);
            break;
        case WM_MOUSEMOVE:
            if (dragState.active) {
                lParam = TrackDragMove(lParam);
            }
            break;
        case WM_LBUTTONUP:
            EndDrag();
            break;
        default:
            break;
    }
    return CallWindowProcA(moduleState.previousProc, window, message, wParam, lParam);
}

void InstallTimeDisplayHook(HWND timeDisplay) {
    // Still in this window's chain from before a detach that could not unhook: hooking again
    // would make the procedure forward to itself.
    if (moduleState.timeDisplay == timeDisplay) {
        return;
    }
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
        moduleState.timeDisplay = nullptr;
    } else if (IsWindow(timeDisplay)) {
        PinModule();
    } else {
        moduleState.timeDisplay = nullptr;
    }
}
