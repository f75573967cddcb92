// Try Ruvenkal without the host: a host-like window that loads the ruvenkal.dll beside it exactly
// as the host does. Dragging on the time display strip zooms the timeline below it, and moves the
// edit cursor or, from a marker's flag, the marker; the Project menu opens, switches and closes
// project tabs, each with its own view.
//
//   sandbox.exe [--log FILE] [--ini FILE] [--langpack FILE]
//
// --log writes what happens (zoom calls, what the time display receives, window positions) to
// FILE, for the end-to-end test. --ini names the configuration file (default: sandbox.ini beside
// the program). --langpack (or RUVENKAL_LANGPACK) names a LangPack that the host's LocalizeString
// translates from, as the host does with the user's language.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "sandbox_view.h"
#include "standin_host.h"

namespace {

constexpr int kTimeDisplayHeight = 48;
constexpr int kButtonHeight = 28;
constexpr int kTimelineTop = kTimeDisplayHeight + kButtonHeight + 12;
constexpr int kShowConfigButton = 100;
constexpr int kToggleButton = 101;
constexpr int kMoveToggleCommand = 200;
// The host's project tabs, from the Project menu.
enum ProjectCommand : int {
    PROJECT_NEW_TAB = 300,
    PROJECT_NEXT_TAB,
    PROJECT_PREVIOUS_TAB,
    PROJECT_NEW_PROJECT,
    PROJECT_CLOSE_TAB,
};

struct Sandbox {
    FILE* log;
    HWND button;
    HWND toggleButton;
    WNDPROC timeDisplayProc;  // the stand-in's own
    WNDPROC mainWindowProc;
    HMENU customMenu;  // a menu of the user's own, as the host lets users rearrange its menus
    bool scrubbing;
    int scrubLastX;
    int draggedMarker;  // -1: the drag moves the edit cursor
    bool pressedOnce;
    std::string hoverKeys;
};

Sandbox sandbox;

void Log(const char* format, ...) {
    if (sandbox.log == nullptr) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(sandbox.log, format, arguments);
    va_end(arguments);
    std::fputc('\n', sandbox.log);
    std::fflush(sandbox.log);
}

void LogScreenRect(const char* name, HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    Log("%s %ld %ld %ld %ld", name, rect.left, rect.top, rect.right, rect.bottom);
}

int X(LPARAM position) {
    return static_cast<short>(LOWORD(position));
}
int Y(LPARAM position) {
    return static_cast<short>(HIWORD(position));
}

void Redraw() {
    InvalidateRect(standin::TimeDisplay(), nullptr, FALSE);
    InvalidateRect(standin::MainWindow(), nullptr, FALSE);
}

// Shift and Ctrl from the message, Alt from the key state: "Shift+Alt", say, or "none".
std::string KeysText(WPARAM keys) {
    std::string text;
    text += (keys & MK_SHIFT) != 0 ? "+Shift" : "";
    text += (keys & MK_CONTROL) != 0 ? "+Ctrl" : "";
    text += GetKeyState(VK_MENU) < 0 ? "+Alt" : "";
    return text.empty() ? "none" : text.substr(1);
}

// Where the markers' flags are now, in time display client x.
void LogMarkers() {
    Log("markers %d %d %d", MarkerX(0), MarkerX(1), MarkerX(2));
}

// Sits below the extension's hook, as the host's own handling of the time display does: it sees
// the positions the extension passes on, and moves the cursor on horizontal drags.
LRESULT CALLBACK TimeDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            sandbox.pressedOnce = true;
            sandbox.scrubbing = true;
            sandbox.scrubLastX = X(lParam);
            sandbox.draggedMarker = MarkerAt(window, X(lParam), Y(lParam));
            sandboxView.pressed = true;
            sandboxView.zoomCallsAtPress = sandboxView.zoomCalls;
            std::snprintf(sandboxView.pressKeys, sizeof sandboxView.pressKeys, "%s",
                          KeysText(wParam).c_str());
            Log("timedisplay %s %d %d view %.17g %.17g keys %s",
                message == WM_LBUTTONDOWN ? "down" : "double-click", X(lParam), Y(lParam),
                standin::ArrangeView().startSeconds, standin::ZoomLevel(), sandboxView.pressKeys);
            Redraw();
            break;
        case WM_MOUSEMOVE:
            // Until the first press, so that a driver of real input can tell that the pointer
            // reaches us.
            if (!sandbox.pressedOnce) {
                Log("timedisplay hover %d %d", X(lParam), Y(lParam));
            }
            // And when the keys held change, so that it can tell when they have arrived.
            if (!sandbox.scrubbing) {
                const std::string keys = KeysText(wParam);
                if (keys != sandbox.hoverKeys) {
                    sandbox.hoverKeys = keys;
                    Log("timedisplay keys %s", keys.c_str());
                }
            }
            if (sandbox.scrubbing) {
                Log("timedisplay move %d %d", X(lParam), Y(lParam));
                const int marker = sandbox.draggedMarker;
                double& moved = marker >= 0 ? sandboxView.markerSeconds[marker]
                                            : standin::ArrangeView().cursorSeconds;
                moved += (X(lParam) - sandbox.scrubLastX) / standin::ZoomLevel();
                sandbox.scrubLastX = X(lParam);
                if (marker >= 0) {
                    Log("marker %d at %.6f", marker + 1, moved);
                }
                Redraw();
            }
            break;
        case WM_LBUTTONUP:
            sandbox.scrubbing = false;
            Log("timedisplay up %d %d", X(lParam), Y(lParam));
            LogMarkers();
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            PaintTimeDisplay(window);
            return 0;
        default:
            break;
    }
    return CallWindowProcW(sandbox.timeDisplayProc, window, message, wParam, lParam);
}

void LogConfigDialog() {
    // By its owner, not its caption, which may be translated.
    HWND dialog = nullptr;
    do {
        dialog = FindWindowExA(nullptr, dialog, reinterpret_cast<LPCSTR>(32770), nullptr);
    } while (dialog != nullptr && GetWindow(dialog, GW_OWNER) != standin::MainWindow());
    if (dialog == nullptr || !IsWindowVisible(dialog)) {
        return;
    }
    LogScreenRect("dialog", dialog);
    LogScreenRect("dialog-scale", GetDlgItem(dialog, 1000));
    LogScreenRect("dialog-upper", GetDlgItem(dialog, 1001));
    LogScreenRect("dialog-lower", GetDlgItem(dialog, 1002));
    LogScreenRect("dialog-focus", GetDlgItem(dialog, 1003));
    LogScreenRect("dialog-lock", GetDlgItem(dialog, 1004));
    LogScreenRect("dialog-modifier", GetDlgItem(dialog, 1006));
    LogScreenRect("dialog-threshold", GetDlgItem(dialog, 1008));
}

// The toggle's button shows the action's state, as a toolbar button in the host does.
void ShowToggleState() {
    const std::optional<int> state = standin::ToggleState(standin::Options().toggleCommandId);
    const char* text = !state        ? "Toggle zoom drag: not registered"
                       : *state == 1 ? "Toggle zoom drag: on"
                                     : "Toggle zoom drag: off";
    SetWindowTextA(sandbox.toggleButton, text);
    Log("toggle %s", !state ? "none" : *state == 1 ? "on" : "off");
}

// A menu's items as the user is about to see them: identifier (-1 for a submenu), check mark,
// grey state and text.
void LogMenu(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        Log("menu-item %d %s %s %s", static_cast<int>(GetMenuItemID(menu, i)),
            (state & MF_CHECKED) != 0 ? "checked" : "unchecked",
            (state & MF_GRAYED) != 0 ? "grayed" : "enabled", text);
    }
}

void LogView(const char* after) {
    Log("%s view %.17g %.17g", after, standin::ArrangeView().startSeconds, standin::ZoomLevel());
}

// As a user customizing the host's menus does: the toggle's item leaves the Ruvenkal submenu
// for a menu of the user's own, and is found there by its command from then on.
void MoveToggleItem() {
    HMENU bar = GetMenu(standin::MainWindow());
    const UINT toggle = static_cast<UINT>(standin::Options().toggleCommandId);
    char text[128] = {};
    if (GetMenuStringA(bar, toggle, text, sizeof text, MF_BYCOMMAND) > 0 &&
        DeleteMenu(bar, toggle, MF_BYCOMMAND)) {
        InsertMenuA(sandbox.customMenu, 0, MF_BYPOSITION | MF_STRING, toggle, text);
        Log("moved toggle");
    }
}

void AddProjectMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, PROJECT_NEW_TAB, "New &tab");
    AppendMenuA(menu, MF_STRING, PROJECT_NEXT_TAB, "&Next tab");
    AppendMenuA(menu, MF_STRING, PROJECT_PREVIOUS_TAB, "Pre&vious tab");
    AppendMenuA(menu, MF_STRING, PROJECT_CLOSE_TAB, "&Close tab");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, PROJECT_NEW_PROJECT, "New &project");
    AppendMenuA(GetMenu(standin::MainWindow()), MF_POPUP | MF_STRING,
                reinterpret_cast<UINT_PTR>(menu), "&Project");
    DrawMenuBar(standin::MainWindow());
}

// Runs a Project menu command, as the host does with its tabs; false for any other command.
bool RunProjectCommand(int command) {
    const int count = standin::ProjectCount();
    const int current = standin::CurrentProjectIndex();
    switch (command) {
        case PROJECT_NEW_TAB:
            standin::OpenProjectTab();
            break;
        case PROJECT_NEXT_TAB:
            standin::SwitchProject((current + 1) % count);
            break;
        case PROJECT_PREVIOUS_TAB:
            standin::SwitchProject((current + count - 1) % count);
            break;
        case PROJECT_CLOSE_TAB:
            standin::CloseProjectTab(current);
            break;
        case PROJECT_NEW_PROJECT:
            standin::NewProjectInTab();
            break;
        default:
            return false;
    }
    Log("project tab %d of %d", standin::CurrentProjectIndex() + 1, standin::ProjectCount());
    LogMarkers();
    LogView("project");
    Redraw();
    return true;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITMENUPOPUP: {
            // The host's own handling first: that is where the extension updates its items.
            const LRESULT result =
                CallWindowProcA(sandbox.mainWindowProc, window, message, wParam, lParam);
            LogMenu(reinterpret_cast<HMENU>(wParam));
            return result;
        }
        case WM_SIZE:
            MoveWindow(standin::TimeDisplay(), 0, 0, LOWORD(lParam), kTimeDisplayHeight, TRUE);
            MoveWindow(sandbox.button, 8, kTimeDisplayHeight + 6, 260, kButtonHeight, TRUE);
            MoveWindow(sandbox.toggleButton, 276, kTimeDisplayHeight + 6, 220, kButtonHeight, TRUE);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            PaintTimeline(window, kTimelineTop);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kShowConfigButton) {
                // The host runs actions through the registered command hook.
                const bool handled = standin::RunCommand(standin::Options().commandId);
                Log("action %s", handled ? "handled" : "not handled");
                LogConfigDialog();
                return 0;
            }
            if (LOWORD(wParam) == kToggleButton) {
                standin::RunCommand(standin::Options().toggleCommandId);
                ShowToggleState();
                return 0;
            }
            if (LOWORD(wParam) == kMoveToggleCommand) {
                MoveToggleItem();
                return 0;
            }
            if (HIWORD(wParam) == 0 && RunProjectCommand(LOWORD(wParam))) {
                return 0;
            }
            if (HIWORD(wParam) == 0 && lParam == 0) {
                // A menu item: the host runs it as a command.
                CallWindowProcA(sandbox.mainWindowProc, window, message, wParam, lParam);
                Log("menu command %d", LOWORD(wParam));
                LogView("menu");
                Redraw();
                LogConfigDialog();
                ShowToggleState();
                return 0;
            }
            break;
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return CallWindowProcA(sandbox.mainWindowProc, window, message, wParam, lParam);
}

std::string Argument(const char* name, const std::string& fallback) {
    for (int i = 1; i + 1 < __argc; ++i) {
        if (std::strcmp(__argv[i], name) == 0) {
            return __argv[i + 1];
        }
    }
    return fallback;
}

bool OpenSandbox() {
    const std::string logPath = Argument("--log", "");
    if (!logPath.empty()) {
        sandbox.log = std::fopen(logPath.c_str(), "w");
    }

    standin::HostOptions options;
    options.record = false;
    options.loadCopy = false;
    options.iniPath = Argument("--ini", standin::BesideProgram("sandbox.ini"));
    const char* langPack = std::getenv("RUVENKAL_LANGPACK");
    options.langPackPath = Argument("--langpack", langPack != nullptr ? langPack : "");
    options.mainWindowRect = {40, 40, 940, 460};
    options.timeDisplayWidth = 900;
    options.timeDisplayHeight = kTimeDisplayHeight;
    // As a user of a dark theme sees the dialog, with the common controls that the host's
    // manifest asks for.
    options.darkTheme = true;
    options.visualStyles = true;
    options.onZoom = [](const standin::ZoomCall& call) {
        ++sandboxView.zoomCalls;
        // With the view after the call and the pointer, so that a zoom's fixed point shows.
        POINT pointer = {};
        GetCursorPos(&pointer);
        ScreenToClient(standin::TimeDisplay(), &pointer);
        Log("adjustZoom %.17g focus %d pointer %ld view %.17g %.17g", call.amount, call.centerMode,
            pointer.x, standin::ArrangeView().startSeconds, standin::ZoomLevel());
        Redraw();
    };
    options.onPlay = [] {
        ++sandboxView.plays;
        Log("play");
        Redraw();
    };
    if (!standin::Start(options)) {
        MessageBoxA(
            nullptr,
            "ruvenkal.dll must lie beside sandbox.exe, and a LangPack given must be readable.",
            "Ruvenkal sandbox", MB_ICONERROR);
        return false;
    }
    HWND main = standin::MainWindow();
    SetWindowTextA(main, "Ruvenkal sandbox");
    sandbox.button = CreateWindowExA(0, "BUTTON", "Ruvenkal Extension : Show Config",
                                     WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, main,
                                     reinterpret_cast<HMENU>(kShowConfigButton),
                                     GetModuleHandleA(nullptr), nullptr);
    sandbox.toggleButton =
        CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, main,
                        reinterpret_cast<HMENU>(kToggleButton), GetModuleHandleA(nullptr), nullptr);
    // Both subclasses go in before the extension's hook, like the host's own window procedures.
    sandbox.timeDisplayProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        standin::TimeDisplay(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TimeDisplayProc)));
    sandbox.mainWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindowProc)));

    if (standin::CallEntry() != 1) {
        MessageBoxA(nullptr, "ruvenkal.dll did not attach.", "Ruvenkal sandbox", MB_ICONERROR);
        return false;
    }
    standin::BuildMainMenu();
    sandbox.customMenu = standin::AddMainMenu("Main custom", "&Custom");
    AppendMenuA(sandbox.customMenu, MF_STRING, kMoveToggleCommand, "&Move the toggle here");
    AddProjectMenu();
    ShowToggleState();
    ShowWindow(main, SW_SHOW);
    RECT client;
    GetClientRect(main, &client);
    SendMessageA(main, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    UpdateWindow(main);
    LogScreenRect("window", main);
    LogScreenRect("timedisplay", standin::TimeDisplay());
    LogScreenRect("button", sandbox.button);
    LogScreenRect("toggle-button", sandbox.toggleButton);
    LogMarkers();
    Log("ready");
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!OpenSandbox()) {
        return 1;
    }
    MSG message;
    // The host's loop: keys go through the extensions' keyboard hooks and the host's shortcuts,
    // never to IsDialogMessage.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // With Alt held, Escape comes as a system key.
        const bool escape = (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
                            message.wParam == VK_ESCAPE;
        standin::HandleMessage(message);
        if (escape) {
            LogView("key escape");
            Redraw();
        }
    }
    standin::CallEntry(nullptr);  // the host's call before it unloads the module
    standin::Stop();
    Log("closed");
    if (sandbox.log != nullptr) {
        std::fclose(sandbox.log);
    }
    return 0;
}
