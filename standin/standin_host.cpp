#include "standin_host.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace standin {
namespace {

constexpr LRESULT kTimeDisplayResultBase = 0x7D000000;
const char kMainWindowClass[] = "StandinMainWindow";
const char kPanelClass[] = "StandinPanel";
const wchar_t kTimeDisplayClass[] = L"REAPERTimeDisplay";

struct Host {
    HostOptions options;
    HostRecord record;
    HMODULE module = nullptr;
    std::string modulePath;
    HMODULE secondCopy = nullptr;
    std::string secondCopyPath;
    std::string iniPath;
    std::vector<std::unique_ptr<Project>> projects;  // by tab; each keeps its address while open
    // Closed, but kept until Stop: a new project never gets a closed one's address, so that what
    // a module kept for the closed one shows.
    std::vector<std::unique_ptr<Project>> closedProjects;
    int currentProject = 0;
    ReaProject* loading = nullptr;  // while a project loads or saves
    LangPack langPack;
    HWND mainWindow = nullptr;
    HWND timeDisplay = nullptr;
    bool extensionsMenuWanted = false;  // AddExtensionsMainMenu was called
    HMENU extensionsMenu = nullptr;
    std::vector<std::pair<HMENU, std::string>> namedMenus;  // the menu bar's, by the hook's names
    std::vector<Registration> active;  // registrations not yet removed with a "-" key
    HANDLE activationContext = INVALID_HANDLE_VALUE;  // Common Controls 6, with visualStyles
    ULONG_PTR activationCookie = 0;
};

Host host;
int copyCounter = 0;

View& CurrentView() {
    return host.projects[host.currentProject]->view;
}

ReaProject* PointerOf(Project* project) {
    return reinterpret_cast<ReaProject*>(project);
}

void OpenStartingProjects() {
    for (int i = 0; i < 2; ++i) {
        host.projects.push_back(std::make_unique<Project>());
    }
}

// Every "projectconfig" registration, in registration order. A copy: one may unregister.
std::vector<ProjectConfigExtension*> ProjectConfigs() {
    std::vector<ProjectConfigExtension*> configs;
    for (const Registration& registration : host.active) {
        if (registration.key == "projectconfig") {
            configs.push_back(static_cast<ProjectConfigExtension*>(registration.item));
        }
    }
    return configs;
}

// The host's context is an object with virtual functions: this one has none to call, so that a
// module writing to it or reading from it crashes the test.
ProjectStateContext* UnusableContext() {
    static void* noFunctions[4] = {};
    return reinterpret_cast<ProjectStateContext*>(&noFunctions);
}

// `named`: GetCurrentProjectInLoadSave answers the project while it loads. The host promises an
// answer only "if in load/save", and gives none for "New project".
void BeginLoad(Project* project, bool isUndo, bool named = true) {
    host.loading = named ? PointerOf(project) : nullptr;
    for (ProjectConfigExtension* config : ProjectConfigs()) {
        if (config->BeginLoadProjectState != nullptr) {
            config->BeginLoadProjectState(isUndo, config);
        }
    }
}

LRESULT CALLBACK TimeDisplayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    size_t index = 0;
    if (host.options.record) {
        host.record.timeDisplayMessages.push_back({message, wParam, lParam});
        index = host.record.timeDisplayMessages.size() - 1;
    }
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(window);  // as the host's own time display does for its drags
            return TimeDisplayResult(index);
        case WM_LBUTTONUP:
            ReleaseCapture();
            return TimeDisplayResult(index);
        default:
            if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message >= WM_USER ||
                message == WM_CAPTURECHANGED || message == WM_CANCELMODE) {
                return TimeDisplayResult(index);
            }
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The host's side of its menus: the hook hears when the Extensions menu is about to show, and a
// chosen item runs as a command.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITMENUPOPUP:
            for (const auto& [menu, name] : host.namedMenus) {
                if (reinterpret_cast<HMENU>(wParam) == menu) {
                    CallMenuHook(name.c_str(), menu, 1);
                }
            }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && lParam == 0) {
                RunCommand(LOWORD(wParam));
                return 0;
            }
            break;
        default:
            // Every WM_CTLCOLOR* message, as the host answers them under its theme.
            if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC &&
                ThemeBrush() != nullptr) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, kThemeText);
                SetBkColor(dc, kThemeBackground);
                return reinterpret_cast<LRESULT>(ThemeBrush());
            }
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClasses() {
    static bool registered = false;
    if (registered) {
        return true;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA main = {};
    main.lpfnWndProc = MainWindowProc;
    main.hInstance = instance;
    main.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    main.lpszClassName = kMainWindowClass;
    WNDCLASSA panel = main;
    panel.lpszClassName = kPanelClass;
    WNDCLASSW timeDisplay = {};
    timeDisplay.style = CS_DBLCLKS;
    timeDisplay.lpfnWndProc = TimeDisplayWindowProc;
    timeDisplay.hInstance = instance;
    timeDisplay.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    timeDisplay.lpszClassName = kTimeDisplayClass;
    registered = RegisterClassA(&main) && RegisterClassA(&panel) && RegisterClassW(&timeDisplay);
    return registered;
}

HWND CreateTimeDisplay(HWND parent) {
    return CreateWindowExW(0, kTimeDisplayClass, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                           host.options.timeDisplayWidth, host.options.timeDisplayHeight, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

bool CreateWindows() {
    const HostOptions& options = host.options;
    const RECT& rect = options.mainWindowRect;
    host.mainWindow =
        CreateWindowExA(0, kMainWindowClass, "Stand-in host", WS_OVERLAPPEDWINDOW, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                        GetModuleHandleA(nullptr), nullptr);
    if (host.mainWindow == nullptr) {
        return false;
    }
    if (options.placement == TimeDisplayPlacement::Missing) {
        return true;
    }
    HWND parent = host.mainWindow;
    if (options.placement == TimeDisplayPlacement::Grandchild) {
        parent = CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_VISIBLE, 0, 0,
                                 options.timeDisplayWidth, options.timeDisplayHeight * 2, parent,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    host.timeDisplay = CreateTimeDisplay(parent);
    return host.timeDisplay != nullptr;
}

std::string TempPath(const char* stem, const char* extension) {
    char directory[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, directory);
    char name[MAX_PATH] = {};
    std::snprintf(name, sizeof name, "%s%s_%lu_%d%s", directory, stem, GetCurrentProcessId(),
                  ++copyCounter, extension);
    return name;
}

// A copy under a new file name is a new module, with all of its state at zero.
HMODULE LoadCopy(std::string* path) {
    *path = TempPath("ruvenkal", ".dll");
    if (!CopyFileA(OriginalModulePath().c_str(), path->c_str(), FALSE)) {
        return nullptr;
    }
    return LoadLibraryA(path->c_str());
}

bool LoadFreshModule() {
    host.module = host.options.loadCopy ? LoadCopy(&host.modulePath)
                                        : LoadLibraryA(OriginalModulePath().c_str());
    return host.module != nullptr;
}

void UnloadAndDelete(HMODULE* module, const std::string& path) {
    if (*module != nullptr) {
        FreeLibrary(*module);
        *module = nullptr;
    }
    if (!path.empty()) {
        DeleteFileA(path.c_str());
    }
}

bool WriteIniFile() {
    host.iniPath = host.options.iniPath.empty() ? TempPath("reaper", ".ini") : host.options.iniPath;
    if (!host.options.iniText) {
        return true;
    }
    FILE* file = _wfopen(WidePath(host.iniPath).c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    const std::string& text = *host.options.iniText;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// Client x of the time display that a zoom with this focus keeps in place.
// Asks the system only for the focus that needs it: the benchmark counts this call's cost too.
double FocusX(int centerMode) {
    RECT client = {};
    POINT pointer = {};
    switch (centerMode) {
        case 3:
            GetCursorPos(&pointer);
            ScreenToClient(host.timeDisplay, &pointer);
            return pointer.x;
        case 2:
            GetClientRect(host.timeDisplay, &client);
            return client.right / 2.0;
        case 1:
        case 0:
            return (CurrentView().cursorSeconds - CurrentView().startSeconds) *
                   CurrentView().zoomLevel;
        default:
            return 0;
    }
}

// The host functions handed out through lookupFunction.
void AdjustZoom(double amount, int forceSet, int doUpdate, int centerMode) {
    ++host.record.zoomCallCount;
    if (host.options.record) {
        host.record.zoomCalls.push_back({amount, forceSet, doUpdate, centerMode});
    }
    const double fixedX = FocusX(centerMode);
    const double fixedTime = TimeAt(fixedX);
    View& view = CurrentView();
    view.zoomLevel = std::clamp(view.zoomLevel * std::pow(1.1, amount), 0.01, 100000.0);
    // Like the host's arrange view, the view never starts before time 0; short of that, the
    // focus keeps its time.
    view.startSeconds = std::max(0.0, fixedTime - fixedX / view.zoomLevel);
    if (host.options.onZoom) {
        host.options.onZoom({amount, forceSet, doUpdate, centerMode});
    }
}

double GetHZoomLevel() {
    ++host.record.hZoomLevelCalls;
    return CurrentView().zoomLevel;
}

// The arrange view spans the time display's width.
double ViewWidth() {
    RECT client = {};
    GetClientRect(host.timeDisplay, &client);
    return client.right > 0 ? client.right : host.options.timeDisplayWidth;
}

// A null project is the current one; anything but a project of ours is refused, as the host
// can't tell a stale pointer from a good one and would crash on it.
Project* ProjectOf(ReaProject* project) {
    if (project == nullptr) {
        return host.projects[host.currentProject].get();
    }
    for (const std::unique_ptr<Project>& candidate : host.projects) {
        if (PointerOf(candidate.get()) == project) {
            return candidate.get();
        }
    }
    return nullptr;
}

void GetSetArrangeView2(ReaProject* project, bool isSet, int screenXStart, int screenXEnd,
                        double* start, double* end) {
    Project* target = ProjectOf(project);
    const bool current = target == host.projects[host.currentProject].get();
    if (start == nullptr || end == nullptr) {
        host.record.events.push_back("GetSet_ArrangeView2 without times");
        return;
    }
    host.record.viewCalls.push_back(
        {isSet, current, screenXStart, screenXEnd, *start, *end, *start, *end});
    if (target == nullptr) {
        return;
    }
    View& view = target->view;
    if (isSet) {
        if (*end > *start) {
            view.startSeconds = *start;
            view.zoomLevel = ViewWidth() / (*end - *start);
        }
    } else {
        *start = view.startSeconds;
        *end = view.startSeconds + ViewWidth() / view.zoomLevel;
    }
    host.record.viewCalls.back().start = *start;
    host.record.viewCalls.back().end = *end;
}

ReaProject* EnumProjects(int index, char* fileName, int fileNameSize) {
    if (fileName != nullptr && fileNameSize > 0) {
        fileName[0] = '\0';
    }
    if (index == -1) {
        index = host.currentProject;
    }
    if (index < 0 || index >= static_cast<int>(host.projects.size())) {
        return nullptr;
    }
    return PointerOf(host.projects[index].get());
}

ReaProject* GetCurrentProjectInLoadSave() {
    return host.loading;
}

const char* LocalizeString(const char* text, const char* section, int flags) {
    if (text == nullptr) {
        return nullptr;
    }
    host.record.localizeCalls.push_back({text, section != nullptr ? section : "", flags});
    const std::string* translation =
        Translation(host.langPack, section != nullptr ? section : "", text);
    return translation != nullptr ? translation->c_str() : text;
}

const char* GetIniFile() {
    host.record.events.push_back("call get_ini_file");
    return host.options.iniPathNull ? nullptr : host.iniPath.c_str();
}

void RefreshToolbar2(int section, int command) {
    host.record.events.push_back("call RefreshToolbar2 " + std::to_string(section) + " " +
                                 std::to_string(command));
}

bool AddExtensionsMainMenu() {
    host.record.events.push_back("call AddExtensionsMainMenu");
    host.extensionsMenuWanted = true;
    return true;
}

void* LookupFunction(const char* name) {
    const std::string key = name ? name : "(null)";
    host.record.events.push_back("lookup " + key);
    if (host.options.withheldFunctions.count(key) != 0) {
        return nullptr;
    }
    if (key == "adjustZoom") {
        return reinterpret_cast<void*>(&AdjustZoom);
    }
    if (key == "GetHZoomLevel") {
        return reinterpret_cast<void*>(&GetHZoomLevel);
    }
    if (key == "get_ini_file") {
        return reinterpret_cast<void*>(&GetIniFile);
    }
    if (key == "RefreshToolbar2") {
        return reinterpret_cast<void*>(&RefreshToolbar2);
    }
    if (key == "AddExtensionsMainMenu") {
        return reinterpret_cast<void*>(&AddExtensionsMainMenu);
    }
    if (key == "GetSet_ArrangeView2") {
        return reinterpret_cast<void*>(&GetSetArrangeView2);
    }
    if (key == "EnumProjects") {
        return reinterpret_cast<void*>(&EnumProjects);
    }
    if (key == "GetCurrentProjectInLoadSave") {
        return reinterpret_cast<void*>(&GetCurrentProjectInLoadSave);
    }
    if (key == "LocalizeString") {
        return reinterpret_cast<void*>(&LocalizeString);
    }
    // What modules export to each other.
    return RegisteredItem("API_" + key);
}

int RegisterItem(const char* key, void* item) {
    const std::string name = key ? key : "(null)";
    host.record.events.push_back("register " + name);
    host.record.registrations.push_back({name, item});
    if (name == "command_id") {
        const std::string command = item != nullptr ? static_cast<const char*>(item) : "";
        const HostOptions& options = host.options;
        return command == "RUVENKAL"          ? options.commandId
               : command == "RUVENKAL_TOGGLE" ? options.toggleCommandId
               : command == "RUVENKAL_UNDO"   ? options.undoCommandId
               : command == "RUVENKAL_REDO"   ? options.redoCommandId
                                              : 0;
    }
    if (name.size() > 1 && name[0] == '-') {
        for (auto it = host.active.begin(); it != host.active.end(); ++it) {
            if (it->key == name.substr(1) && it->item == item) {
                host.active.erase(it);
                return 1;
            }
        }
        return 0;
    }
    host.active.push_back({name, item});
    return 1;
}

// What an "accelerator" answers for a keyboard message; 0 passes it to the next one.
constexpr int kAccelEaten = 1;
constexpr int kAccelPlainKey = -1;
constexpr int kAccelToHost = -666;              // but not Escape, and not from a text field
constexpr int kAccelToHostEvenFromText = -667;  // but not Escape

bool IsKeyboardMessage(UINT message) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            return true;
        default:
            return false;
    }
}

// The host's own shortcuts for keys no one claimed, as most users have them: the space bar
// plays, and the F-keys and Ctrl with a letter run actions ("shortcut F5", "shortcut Ctrl+S").
// Like an accelerator table, a shortcut takes the key down and the key goes no further.
bool RunHostShortcut(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return false;
    }
    const WPARAM key = message.wParam;
    std::string shortcut;
    if (key == VK_SPACE && message.message == WM_KEYDOWN) {
        host.record.events.push_back("play");
        if (host.options.onPlay) {
            host.options.onPlay();
        }
        return true;
    }
    if (key >= VK_F1 && key <= VK_F24) {
        shortcut = "F" + std::to_string(key - VK_F1 + 1);
    } else if (GetKeyState(VK_CONTROL) < 0 && key >= 'A' && key <= 'Z') {
        shortcut = "Ctrl+" + std::string(1, static_cast<char>(key));
    } else {
        return false;
    }
    host.record.events.push_back("shortcut " + shortcut);
    return true;
}

bool IsTextField(HWND window) {
    char name[8] = {};
    return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, "Edit") == 0;
}

PluginInfo MakePluginInfo() {
    PluginInfo info = {};
    info.callerVersion = host.options.version;
    info.mainWindow = host.mainWindow;
    info.registerItem = host.options.offerRegisterItem ? &RegisterItem : nullptr;
    info.lookupFunction = host.options.offerLookupFunction ? &LookupFunction : nullptr;
    return info;
}

}  // namespace

std::string LangPackKey(const std::string& text) {
    unsigned long long hash = 0xCBF29CE484222325ULL;
    // The terminating zero counts as a byte of the text.
    for (size_t i = 0; i <= text.size(); ++i) {
        hash *= 0x100000001B3ULL;
        hash ^= static_cast<unsigned char>(i < text.size() ? text[i] : '\0');
    }
    char key[17] = {};
    std::snprintf(key, sizeof key, "%016llX", hash);
    return key;
}

bool ReadLangPack(const std::string& utf8Path, LangPack* pack) {
    FILE* file = _wfopen(WidePath(utf8Path).c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    std::string text;
    char chunk[4096];
    for (size_t read; (read = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        text.append(chunk, read);
    }
    std::fclose(file);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == 16) {
            std::string key = line.substr(0, 16);
            std::transform(key.begin(), key.end(), key.begin(),
                           [](char c) { return static_cast<char>(std::toupper(c)); });
            pack->sections[section][key] = line.substr(17);
        }
    }
    return true;
}

const std::string* Translation(const LangPack& pack, const std::string& section,
                               const std::string& text) {
    const std::string key = LangPackKey(text);
    for (const std::string& name : {section, std::string("common")}) {
        const auto found = pack.sections.find(name);
        if (found != pack.sections.end()) {
            const auto entry = found->second.find(key);
            if (entry != found->second.end()) {
                return &entry->second;
            }
        }
    }
    return nullptr;
}

std::string BesideProgram(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path);
    return directory.substr(0, directory.find_last_of("\\/") + 1) + name;
}

std::string OriginalModulePath() {
    const char* named = std::getenv("RUVENKAL_DLL");
    if (named != nullptr && *named != '\0') {
        return named;
    }
    return BesideProgram("ruvenkal.dll");
}

HBRUSH ThemeBrush() {
    // One for the process, as the host keeps its theme's brushes.
    static HBRUSH brush = CreateSolidBrush(kThemeBackground);
    return host.options.darkTheme ? brush : nullptr;
}

// What the host's manifest says of the common controls, from a file: the stand-in is a library
// and has no manifest resource of its own.
bool ActivateCommonControls6() {
    static const char kManifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\""
        " name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""
        " processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
        "</dependentAssembly></dependency></assembly>\r\n";
    wchar_t folder[MAX_PATH] = {};
    wchar_t path[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"cc6", 0, path) == 0) {
        return false;
    }
    FILE* file = _wfopen(path, L"wb");
    const bool written = file != nullptr && std::fwrite(kManifest, 1, sizeof kManifest - 1, file) ==
                                                sizeof kManifest - 1;
    if (file != nullptr) {
        std::fclose(file);
    }
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.lpSource = path;
    host.activationContext = written ? CreateActCtxW(&context) : INVALID_HANDLE_VALUE;
    DeleteFileW(path);
    return host.activationContext != INVALID_HANDLE_VALUE &&
           ActivateActCtx(host.activationContext, &host.activationCookie);
}

void DeactivateCommonControls6() {
    if (host.activationCookie != 0) {
        DeactivateActCtx(0, host.activationCookie);
    }
    if (host.activationContext != INVALID_HANDLE_VALUE) {
        ReleaseActCtx(host.activationContext);
    }
}

bool Start(const HostOptions& options) {
    Stop();
    host.options = options;
    if (options.visualStyles && !ActivateCommonControls6()) {
        return false;
    }
    OpenStartingProjects();
    if (!options.langPackPath.empty() && !ReadLangPack(options.langPackPath, &host.langPack)) {
        return false;
    }
    return RegisterWindowClasses() && CreateWindows() && WriteIniFile() && LoadFreshModule();
}

void Stop() {
    if (host.mainWindow != nullptr) {
        DestroyWindow(host.mainWindow);
    }
    UnloadAndDelete(&host.module, host.modulePath);
    UnloadAndDelete(&host.secondCopy, host.secondCopyPath);
    if (host.options.iniPath.empty() && !host.iniPath.empty()) {
        DeleteFileW(WidePath(host.iniPath).c_str());
    }
    PumpMessages();
    for (int key : {VK_MENU, VK_CONTROL, VK_SHIFT}) {
        HoldKey(key, false);
    }
    DeactivateCommonControls6();
    host = Host();
}

void UnloadModule() {
    if (host.module != nullptr) {
        FreeLibrary(host.module);
        host.module = nullptr;
    }
}

HMODULE LoadSecondCopy() {
    if (host.secondCopy == nullptr) {
        host.secondCopy = LoadCopy(&host.secondCopyPath);
    }
    return host.secondCopy;
}

int CallEntry() {
    PluginInfo info = MakePluginInfo();
    return CallEntry(&info);
}

int CallEntry(PluginInfo* info) {
    return CallEntryOf(host.module, info);
}

int CallEntryOf(HMODULE module) {
    PluginInfo info = MakePluginInfo();
    return CallEntryOf(module, &info);
}

int CallEntryOf(HMODULE module, PluginInfo* info) {
    // Through void*: FARPROC's own type says nothing of the function's real one.
    auto entry = reinterpret_cast<PluginEntry>(
        reinterpret_cast<void*>(GetProcAddress(module, "ReaperPluginEntry")));
    return entry ? entry(module, info) : -1;
}

std::wstring WidePath(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(size > 0 ? size - 1 : 0, L'\0');
    if (size > 1) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], size);
    }
    return wide;
}

HostRecord& Record() {
    return host.record;
}
const HostOptions& Options() {
    return host.options;
}
HMODULE Module() {
    return host.module;
}
const std::string& ModulePath() {
    return host.modulePath;
}
HWND MainWindow() {
    return host.mainWindow;
}
HWND TimeDisplay() {
    return host.timeDisplay;
}

HWND CreateExtraTimeDisplay() {
    return CreateTimeDisplay(host.mainWindow);
}

bool TimeDisplayIsSubclassed() {
    return host.timeDisplay != nullptr && GetWindowLongPtrW(host.timeDisplay, GWLP_WNDPROC) !=
                                              reinterpret_cast<LONG_PTR>(&TimeDisplayWindowProc);
}
const std::string& IniPath() {
    return host.iniPath;
}

View& ArrangeView() {
    return CurrentView();
}

double ZoomLevel() {
    return CurrentView().zoomLevel;
}

double TimeAt(double x) {
    return CurrentView().startSeconds + x / CurrentView().zoomLevel;
}

int ProjectCount() {
    return static_cast<int>(host.projects.size());
}

int CurrentProjectIndex() {
    return host.currentProject;
}

void SwitchProject(int index) {
    host.currentProject = std::clamp(index, 0, ProjectCount() - 1);
}

int OpenProjectTab() {
    host.projects.push_back(std::make_unique<Project>());
    host.currentProject = ProjectCount() - 1;
    BeginLoad(host.projects.back().get(), false);
    host.loading = nullptr;
    return host.currentProject;
}

void CloseProjectTab(int index) {
    if (ProjectCount() < 2 || index < 0 || index >= ProjectCount()) {
        return;
    }
    host.closedProjects.push_back(std::move(host.projects[index]));
    host.projects.erase(host.projects.begin() + index);
    if (host.currentProject > index || host.currentProject == ProjectCount()) {
        --host.currentProject;
    }
}

namespace {

// A project that replaces tab `index`'s own, with a fresh view, as a load does.
void LoadFreshProject(int index, bool named) {
    Project* project = host.projects[index].get();
    BeginLoad(project, false, named);
    project->view = View();
    host.loading = nullptr;
}

}  // namespace

void NewProjectInTab() {
    LoadFreshProject(host.currentProject, false);
}

void LoadProjectInto(int index) {
    if (index >= 0 && index < ProjectCount()) {
        LoadFreshProject(index, true);
    }
}

void HostUndo() {
    BeginLoad(host.projects[host.currentProject].get(), true);
    for (const char* line : {"<EXTENSIONS", "OTHER_EXTENSION 1", ">"}) {
        for (ProjectConfigExtension* config : ProjectConfigs()) {
            if (config->ProcessExtensionLine(line, UnusableContext(), true, config)) {
                host.record.events.push_back("projectconfig claimed " + std::string(line));
            }
        }
    }
    host.loading = nullptr;
}

void SaveProject() {
    host.loading = PointerOf(host.projects[host.currentProject].get());
    for (ProjectConfigExtension* config : ProjectConfigs()) {
        config->SaveExtensionConfig(UnusableContext(), false, config);
    }
    host.loading = nullptr;
}

LRESULT TimeDisplayResult(size_t index) {
    return kTimeDisplayResultBase + static_cast<LRESULT>(index);
}

LPARAM MousePosition(int x, int y) {
    return static_cast<LPARAM>(
        static_cast<DWORD>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y))));
}

LRESULT SendMouse(UINT message, int x, int y, WPARAM keys) {
    return SendMessageW(host.timeDisplay, message, keys, MousePosition(x, y));
}

void* LookUpFunction(const char* name) {
    return LookupFunction(name);
}

void* RegisteredItem(const std::string& key) {
    for (auto it = host.active.rbegin(); it != host.active.rend(); ++it) {
        if (it->key == key) {
            return it->item;
        }
    }
    return nullptr;
}

bool RunCommand(int command) {
    auto hook = reinterpret_cast<HookCommand>(RegisteredItem("hookcommand"));
    return hook != nullptr && hook(command, 0);
}

std::optional<int> ToggleState(int command) {
    auto state = reinterpret_cast<ToggleAction>(RegisteredItem("toggleaction"));
    if (state == nullptr) {
        return std::nullopt;
    }
    return state(command);
}

void HoldKey(int key, bool held) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[key] = held ? 0x80 : 0;
    // The left-hand key along with the generic one, as a keyboard sets both.
    const int left = key == VK_MENU ? VK_LMENU : key == VK_CONTROL ? VK_LCONTROL : VK_LSHIFT;
    keys[left] = keys[key];
    SetKeyboardState(keys);
}

void HoldAlt(bool held) {
    HoldKey(VK_MENU, held);
}

HMENU BuildMainMenu() {
    if (!host.extensionsMenuWanted || host.extensionsMenu != nullptr) {
        return host.extensionsMenu;
    }
    HMENU bar = CreateMenu();
    host.extensionsMenu = CreatePopupMenu();
    AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(host.extensionsMenu),
                "&Extensions");
    SetMenu(host.mainWindow, bar);
    host.namedMenus.push_back({host.extensionsMenu, "Main extensions"});
    CallMenuHook("Main extensions", host.extensionsMenu, 0);
    return host.extensionsMenu;
}

HMENU AddMainMenu(const char* name, const char* text) {
    HMENU bar = GetMenu(host.mainWindow);
    if (bar == nullptr) {
        return nullptr;
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), text);
    DrawMenuBar(host.mainWindow);
    host.namedMenus.push_back({menu, name});
    CallMenuHook(name, menu, 0);
    return menu;
}

void CallMenuHook(const char* menuName, HMENU menu, int flag) {
    auto hook = reinterpret_cast<HookCustomMenu>(RegisteredItem("hookcustommenu"));
    if (hook != nullptr) {
        hook(menuName, menu, flag);
    }
}

void HandleMessage(MSG& message) {
    bool hostShortcuts = true;
    if (IsKeyboardMessage(message.message)) {
        // A copy: a module may unregister while it handles the key.
        for (const Registration& registration : std::vector<Registration>(host.active)) {
            if (registration.key != "accelerator") {
                continue;
            }
            auto* accelerator = static_cast<AcceleratorRegister*>(registration.item);
            const int result = accelerator->translateAccel(&message, accelerator);
            if (result == kAccelEaten) {
                return;
            }
            if (result == kAccelPlainKey) {
                hostShortcuts = false;
                break;
            }
            if (result == kAccelToHost || result == kAccelToHostEvenFromText) {
                const bool fromText = result == kAccelToHost && IsTextField(message.hwnd);
                hostShortcuts = message.wParam != VK_ESCAPE && !fromText;
                break;
            }
        }
    }
    if (hostShortcuts && RunHostShortcut(message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        HandleMessage(message);
    }
}

}  // namespace standin
