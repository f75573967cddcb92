// A stand-in for the REAPER host: a main window with a time display, the extension interface
// (registration by key and host functions by name), and a record of everything the module did
// through it. One host per process at a time, as the interface's plain callbacks require.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host_abi.h"

namespace standin {

enum class TimeDisplayPlacement { Child, Grandchild, Missing };

struct ZoomCall {
    double amount;
    int forceSet;
    int doUpdate;
    int centerMode;
};

struct HostOptions {
    int version = kInterfaceVersion;
    bool offerRegisterItem = true;
    bool offerLookupFunction = true;
    std::set<std::string> withheldFunctions;  // lookupFunction answers null for these
    int commandId = 41000;                    // what "command_id" returns for "RUVENKAL"
    int toggleCommandId = 41001;              // and for "RUVENKAL_TOGGLE"
    int undoCommandId = 41002;                // and for "RUVENKAL_UNDO"
    int redoCommandId = 41003;                // and for "RUVENKAL_REDO"
    bool iniPathNull = false;                 // get_ini_file returns null
    std::optional<std::string> iniText;       // written to the configuration file before start
    std::string iniPath;   // a lasting configuration file (UTF-8) instead of a temporary one
    bool loadCopy = true;  // false: load the ruvenkal.dll beside the program itself
    TimeDisplayPlacement placement = TimeDisplayPlacement::Child;
    int timeDisplayWidth = 400;
    int timeDisplayHeight = 20;
    RECT mainWindowRect = {120, 90, 920, 690};
    bool record = true;  // false: count zoom calls only, record no messages (for measuring)
    std::function<void(const ZoomCall& call)> onZoom;  // told after each adjustZoom call
    std::function<void()> onPlay;  // told when the host's own space bar shortcut runs
    // A LangPack file (UTF-8 path) that LocalizeString translates from; none: every text stays
    // as the module gives it. Withhold "LocalizeString" for a host without it.
    std::string langPackPath;
    // The main window answers the WM_CTLCOLOR* messages as the host's does under a dark theme:
    // kThemeBackground, kThemeText and a brush of the background. Otherwise the system's defaults.
    bool darkTheme = false;
    // The host's manifest asks for Common Controls 6, whose controls draw with visual styles: the
    // thread gets that activation context from Start to Stop, so that a module's dialog does too.
    bool visualStyles = false;
};

constexpr COLORREF kThemeBackground = RGB(51, 55, 61);
constexpr COLORREF kThemeText = RGB(220, 224, 230);
// The brush the main window answers with under the dark theme; null without it.
HBRUSH ThemeBrush();

struct Registration {
    std::string key;
    void* item;
};

struct WindowMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// One call of GetSet_ArrangeView2: the times passed in, then the times it left.
struct ViewCall {
    bool isSet;
    bool currentProject;  // false: a project other than the current one, or none of ours
    int screenXStart, screenXEnd;
    double startIn, endIn;
    double start, end;
};

// One call of LocalizeString.
struct LocalizeCall {
    std::string text;
    std::string section;
    int flags;
};

struct HostRecord {
    // "lookup NAME", "call NAME", "register KEY" in order; RefreshToolbar2 with its arguments;
    // "play" and "shortcut KEYS" when a key reached the host's shortcuts
    std::vector<std::string> events;
    std::vector<Registration> registrations;
    std::vector<ZoomCall> zoomCalls;
    std::vector<ViewCall> viewCalls;
    std::vector<LocalizeCall> localizeCalls;
    long long zoomCallCount = 0;
    int hZoomLevelCalls = 0;
    std::vector<WindowMessage>
        timeDisplayMessages;  // everything the time display's own procedure got
};

// A LangPack entry's key, as the host computes it: 64-bit FNV-1 of the text's UTF-8 bytes and its
// terminating zero, in 16 upper-case hex digits.
std::string LangPackKey(const std::string& text);

// A LangPack file read as the host reads it: translations by section and key.
struct LangPack {
    std::map<std::string, std::map<std::string, std::string>> sections;
};
// False if the file can't be read.
bool ReadLangPack(const std::string& utf8Path, LangPack* pack);
// The translation of `text` in `section`, else in [common], else null.
const std::string* Translation(const LangPack& pack, const std::string& section,
                               const std::string& text);

// A file beside the running program, such as the ruvenkal.dll or a LangPack.
std::string BesideProgram(const char* name);

// The built ruvenkal.dll beside the running program, or the DLL that RUVENKAL_DLL names (such as
// a packaged or installed copy).
std::string OriginalModulePath();

// Creates the windows and loads a fresh copy of the ruvenkal.dll that lies beside the program,
// so that the module starts with all of its state at zero.
bool Start(const HostOptions& options = {});
// Destroys the windows, unloads the module and removes the copy and the configuration file.
void Stop();

// Unloads the module as the host does at exit (after CallEntry(nullptr)).
void UnloadModule();

int CallEntry();                  // with the host's record, as the host does after loading
int CallEntry(PluginInfo* info);  // with any record, or null as before unloading

// Another fresh copy of the module under another file name, as a user may leave one in the
// plug-in folder. Loaded once per host; Stop unloads it.
HMODULE LoadSecondCopy();
int CallEntryOf(HMODULE module);  // with the host's record
int CallEntryOf(HMODULE module, PluginInfo* info);

// A UTF-8 path, as the host hands paths out, in the form the W file functions take.
std::wstring WidePath(const std::string& utf8);

HostRecord& Record();
const HostOptions& Options();
HMODULE Module();
const std::string& ModulePath();  // of the loaded copy
HWND MainWindow();
HWND TimeDisplay();
// Another window of the time display's class, created after the module attached (so that the
// module's search never finds it): a second time display to compare against.
HWND CreateExtraTimeDisplay();
// Whether anything has replaced the time display's own window procedure.
bool TimeDisplayIsSubclassed();
const std::string& IniPath();

// The current project's arrange view under the time display, which share their x axis. Each
// adjustZoom call multiplies the zoom by 1.1 to the power of its amount and keeps one point of the
// timeline in place, by its last argument: 3 the time under the mouse pointer, 2 the view's
// centre, 1 and 0 the edit cursor, -1 (the host's preference here) the view's left edge; but the
// view never starts before time 0. GetSet_ArrangeView2 reads and sets it as the times at the time
// display's two edges.
struct View {
    double startSeconds = 0;  // the time at the time display's left edge
    double cursorSeconds = 4;
    double zoomLevel = 100.0;  // pixels per second
};
View& ArrangeView();

// The host's open projects, each with its own view, as tabs; EnumProjects hands them out. The
// host starts with two.
struct Project {
    View view;
};
int ProjectCount();
int CurrentProjectIndex();
// Makes project `index` the current one, as the user switching tabs does.
void SwitchProject(int index);
// A new project in a new tab, which becomes the current one; returns its index. Like every load,
// it goes through each "projectconfig" registration's BeginLoadProjectState.
int OpenProjectTab();
// Closes tab `index`; the host keeps at least one open.
void CloseProjectTab(int index);
// "New project" in the current tab: the tab keeps its project pointer, as the host does, and gets
// a fresh view after BeginLoadProjectState (isUndo false). GetCurrentProjectInLoadSave answers
// null meanwhile, as the host may.
void NewProjectInTab();
// A project file loaded into tab `index`, which need not be the current one (a script may do
// it): BeginLoadProjectState (isUndo false) with GetCurrentProjectInLoadSave naming that tab's
// project, then a fresh view there. The current tab stays.
void LoadProjectInto(int index);
// The host's own undo loading a state of the current project: BeginLoadProjectState with isUndo
// true, then each line of another extension's state to ProcessExtensionLine, which must not claim
// it ("projectconfig claimed LINE" in the events if one does).
void HostUndo();
// Saves the current project: SaveExtensionConfig with a context that no module may write to.
void SaveProject();
// The horizontal zoom in pixels per second, as GetHZoomLevel answers it.
double ZoomLevel();
// The time at client x of the time display.
double TimeAt(double x);

// What the time display's own procedure returns for the message it recorded at `index`, so that
// a test can tell that the result came back from it.
LRESULT TimeDisplayResult(size_t index);

// A mouse message's position parameter: x and y as 16-bit values, as Windows packs them.
LPARAM MousePosition(int x, int y);

// Sends a mouse message at client position (x, y) to the time display, as Windows would.
LRESULT SendMouse(UINT message, int x, int y, WPARAM keys = 0);

// The item of the newest registration under `key` that is still in place, or null.
void* RegisteredItem(const std::string& key);
// The host's function lookup, as another module calls it: the host's own functions, and what
// modules registered under "API_<name>".
void* LookUpFunction(const char* name);
// Runs a command the way the host does: through the registered "hookcommand" callback.
bool RunCommand(int command);
// What the registered "toggleaction" callback answers for `command`; nothing without one.
std::optional<int> ToggleState(int command);

// The main window's menu bar with an Extensions menu, as the host builds it once a module has
// asked for one with AddExtensionsMainMenu: the registered "hookcustommenu" then hears "Main
// extensions" with flag 0, and flag 1 whenever the menu is about to show. Null if none was asked
// for.
HMENU BuildMainMenu();
// Another menu on the main window's menu bar, after BuildMainMenu, as a user's customized menus
// are: the hook hears it by `name` with flag 0 now and flag 1 whenever it is about to show.
HMENU AddMainMenu(const char* name, const char* text);
// Calls the registered "hookcustommenu", if there is one.
void CallMenuHook(const char* menuName, HMENU menu, int flag);

// Holds or releases Alt in this thread's key state, which mouse messages don't carry; Stop
// releases it.
void HoldAlt(bool held);
// The same for VK_MENU, VK_CONTROL or VK_SHIFT, which keyboard messages don't carry either.
void HoldKey(int key, bool held);

// One message of the host's message loop. Keyboard messages go first to each registered
// "accelerator", in registration order, and then, unless one claimed them, to the host's own
// shortcuts: the space bar runs "play", the F-keys and Ctrl with a letter record "shortcut F5" or
// "shortcut Ctrl+S". A key handed to the host with -666 reaches its shortcuts unless it is Escape
// or comes from a text field; with -667, unless it is Escape. The host never calls
// IsDialogMessage for a module's windows.
void HandleMessage(MSG& message);

// Handles every message waiting in this thread's queue, as the host's loop would.
void PumpMessages();

}  // namespace standin
