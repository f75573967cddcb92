// Every text a user sees, through the host's LocalizeString and a LangPack as the host reads it:
// the action names, the Extensions submenu and the dialog, which widens for longer texts.
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;

namespace {

constexpr int kVersion = 1007;

std::string Utf8(const wchar_t* wide) {
    char text[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& utf8) {
    return standin::WidePath(utf8);
}

std::string WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return Utf8(text);
}

std::vector<HWND> Controls(HWND dialog) {
    std::vector<HWND> controls;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        controls.push_back(c);
    }
    return controls;
}

std::string ClassOf(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(Utf8(item));
    }
    return items;
}

// Every text the dialog shows: its caption, its labels' texts and its lists' items.
std::vector<std::string> DialogTexts(HWND dialog) {
    std::vector<std::string> texts = {WindowText(dialog)};
    for (HWND control : Controls(dialog)) {
        // The fields show values, the version line a name.
        if (GetDlgCtrlID(control) == kVersion || ClassOf(control) == "Edit") {
            continue;
        }
        const std::vector<std::string> items = ClassOf(control) == "ComboBox"
                                                   ? ComboItems(control)
                                                   : std::vector<std::string>{WindowText(control)};
        for (const std::string& text : items) {
            if (!text.empty()) {
                texts.push_back(text);
            }
        }
    }
    return texts;
}

// The action names the host got, in registration order.
std::vector<std::string> ActionNames() {
    std::vector<std::string> names;
    for (const standin::Registration& r : Record().registrations) {
        if (r.key == "gaccel") {
            names.push_back(static_cast<const standin::AccelRegister*>(r.item)->description);
        }
    }
    return names;
}

std::vector<std::string> SubmenuItems() {
    std::vector<std::string> items;
    HMENU extensions = standin::BuildMainMenu();
    HMENU submenu = GetSubMenu(extensions, GetMenuItemCount(extensions) - 1);
    for (int i = 0; i < GetMenuItemCount(submenu); ++i) {
        wchar_t text[256] = {};
        if (GetMenuStringW(submenu, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0) {
            items.push_back(Utf8(text));
        }
    }
    return items;
}

HWND OpenDialog() {
    EXPECT_TRUE(standin::RunCommand(kShowConfig));
    return FindWindowW(reinterpret_cast<LPCWSTR>(32770), nullptr);
}

// The template's entries, which are commented out: (section, key, English text).
struct TemplateEntry {
    std::string section;
    std::string key;
    std::string text;
};

std::vector<TemplateEntry> ReadTemplate() {
    std::vector<TemplateEntry> entries;
    std::string section;
    std::string line;
    for (char c : ReadTextFile(standin::BesideProgram("ruvenkal.ReaperLangPack")) + "\n") {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line.size() > 1 && line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
        } else if (line.size() > 18 && line[0] == ';' && line[17] == '=') {
            entries.push_back({section, line.substr(1, 16), line.substr(18)});
        }
        line.clear();
    }
    return entries;
}

TEST(LangPackKey, IsTheHostsHash) {
    EXPECT_EQ("D858BC186B3FE51D", standin::LangPackKey("Hz"));
    EXPECT_EQ("E8589A5C2472187A", standin::LangPackKey("samples"));
}

using Localization = HostTest;

// Each text the code asks the host for is in the template for translators, under the same section
// and its own key; and the template holds nothing the code never asks for.
TEST_F(Localization, TheTemplateHoldsEveryTextUnderItsKeyAndSection) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    standin::BuildMainMenu();
    ASSERT_NE(nullptr, OpenDialog());
    const std::vector<TemplateEntry> entries = ReadTemplate();
    ASSERT_FALSE(entries.empty());
    std::set<std::string> asked;
    for (const standin::LocalizeCall& call : Record().localizeCalls) {
        SCOPED_TRACE(call.section + ": " + call.text);
        EXPECT_EQ(0, call.flags);
        bool found = false;
        for (const TemplateEntry& entry : entries) {
            found |= entry.section == call.section && entry.text == call.text &&
                     entry.key == standin::LangPackKey(call.text);
        }
        EXPECT_TRUE(found);
        asked.insert(call.section + "\n" + call.text);
    }
    for (const TemplateEntry& entry : entries) {
        EXPECT_EQ(1u, asked.count(entry.section + "\n" + entry.text)) << entry.text;
    }
    const std::string text = ReadTextFile(standin::BesideProgram("ruvenkal.ReaperLangPack"));
    EXPECT_EQ(0u, text.rfind("#NAME:", 0));
}

// The dialog's width lies within its monitor's work area.
void ExpectWithinTheWorkArea(HWND dialog) {
    RECT outer = {};
    GetWindowRect(dialog, &outer);
    const RECT work = WorkAreaOf(dialog);
    EXPECT_GE(outer.left, work.left);
    EXPECT_LE(outer.right, work.right);
}

// Widened or not, each text fits its control in the control's own font, and every control lies
// inside the dialog.
void ExpectEveryTextFits(HWND dialog) {
    RECT client = {};
    GetClientRect(dialog, &client);
    for (HWND control : Controls(dialog)) {
        const std::string name = ClassOf(control);
        SCOPED_TRACE(name + " " + WindowText(control));
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_GE(rect.left, 0);
        EXPECT_GE(rect.top, 0);
        EXPECT_LE(rect.right, client.right);
        EXPECT_LE(rect.bottom, client.bottom);

        HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        const auto width = [dc](const std::string& text, UINT format) {
            RECT r = {};
            DrawTextW(dc, Wide(text).c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | format);
            return static_cast<int>(r.right);
        };
        const int room = rect.right - rect.left;
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if (name == "Static") {
            EXPECT_LE(width(WindowText(control), (style & SS_NOPREFIX) ? DT_NOPREFIX : 0), room);
        } else if (name == "ComboBox") {
            for (const std::string& item : ComboItems(control)) {
                EXPECT_LE(width(item, DT_NOPREFIX), room - GetSystemMetrics(SM_CXVSCROLL)) << item;
            }
        } else if (name == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) {
            EXPECT_LE(width(WindowText(control), 0), room);
        } else if (name == "Button" && (style & BS_MULTILINE) != 0) {
            const int textRoom = room - GetSystemMetrics(SM_CXMENUCHECK);
            RECT r = {0, 0, textRoom, 0};
            DrawTextW(dc, Wide(WindowText(control)).c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
            EXPECT_LE(r.bottom, rect.bottom - rect.top);
            EXPECT_LE(r.right, textRoom);
        } else if (name == "Button") {
            EXPECT_LE(width(WindowText(control), 0), room - GetSystemMetrics(SM_CXMENUCHECK));
        }
        ReleaseDC(control, dc);
    }
    ExpectWithinTheWorkArea(dialog);
}

TEST_F(Localization, APseudoTranslationShowsEverywhereAndFits) {
    HostOptions options;
    options.langPackPath = standin::BesideProgram("pseudo.ReaperLangPack");
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    standin::LangPack pack;
    ASSERT_TRUE(standin::ReadLangPack(options.langPackPath, &pack));
    const auto translated = [&pack](const char* section, const std::vector<std::string>& texts) {
        std::set<std::string> all;
        for (const auto& entry : pack.sections[section]) {
            all.insert(entry.second);
        }
        for (const std::string& text : texts) {
            EXPECT_EQ(1u, all.count(text)) << section << ": " << text;
        }
        return std::set<std::string>(texts.begin(), texts.end()) == all;
    };
    EXPECT_TRUE(translated("ruvenkal_actions", ActionNames()));
    EXPECT_TRUE(translated("ruvenkal_menu", SubmenuItems()));
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(translated("ruvenkal_DLG_101", DialogTexts(dialog)));
    EXPECT_EQ("Ruvenkal " RUVENKAL_VERSION, WindowText(GetDlgItem(dialog, kVersion)));

    ExpectEveryTextFits(dialog);
    // Still a dialog that works: closing it applies and saves.
    SetDlgItemTextW(dialog, 1000, L"0.5");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0.5, ZoomPerPixelInEachHalf().upper);
}

// The dialog's size, then each control's place in it.
std::vector<RECT> Layout(HWND dialog) {
    RECT outer = {};
    GetWindowRect(dialog, &outer);
    std::vector<RECT> layout = {{0, 0, outer.right - outer.left, outer.bottom - outer.top}};
    for (HWND control : Controls(dialog)) {
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        layout.push_back(rect);
    }
    return layout;
}

// A dialog procedure that leaves the template's dialog as it is.
INT_PTR CALLBACK TemplateOnly(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (!EqualRect(&a[i], &b[i])) {
            return false;
        }
    }
    return true;
}

// Without LocalizeString, or with it but without a translation, everything is English and the
// dialog keeps its layout.
TEST_F(Localization, UntranslatedTextsAreEnglishAndTheLayoutStays) {
    for (const char* withheld : {"LocalizeString", ""}) {
        SCOPED_TRACE(*withheld ? "without LocalizeString" : "without a translation");
        HostOptions options;
        options.withheldFunctions = {withheld};
        ASSERT_NO_FATAL_FAILURE(Attach(options));
        EXPECT_EQ(
            (std::vector<std::string>{
                "Ruvenkal Extension : Show Config", "Ruvenkal Extension : Toggle zoom drag",
                "Ruvenkal Extension : Undo zoom drag", "Ruvenkal Extension : Redo zoom drag"}),
            ActionNames());
        EXPECT_EQ((std::vector<std::string>{"&Settings...", "&Zoom by dragging the time display",
                                            "&Undo zoom drag", "&Redo zoom drag"}),
                  SubmenuItems());
        HWND dialog = OpenDialog();
        ASSERT_NE(nullptr, dialog);
        const std::vector<std::string> texts = DialogTexts(dialog);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ("Ruvenkal config", texts[0]);
        HWND reference = CreateDialogParamW(standin::Module(), MAKEINTRESOURCEW(101),
                                            standin::MainWindow(), &TemplateOnly, 0);
        EXPECT_TRUE(SameRects(Layout(reference), Layout(dialog)));
        DestroyWindow(reference);
        ExpectEveryTextFits(dialog);
        standin::Stop();
    }
}

// A LangPack of `sections` in the temporary folder; returns its path.
std::string WriteLangPack(const std::string& sections) {
    char directory[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, directory);
    const std::string path = std::string(directory) + "ruvenkal_test.ReaperLangPack";
    const std::string pack = "#NAME:test\n" + sections;
    FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(nullptr, file);
    if (file != nullptr) {
        std::fwrite(pack.data(), 1, pack.size(), file);
        std::fclose(file);
    }
    return path;
}

// A line "KEY=" is a translation to the host, an empty one: each kind of text stays English
// rather than blank, and the dialog keeps its layout.
TEST_F(Localization, AnEmptyTranslationShowsTheEnglish) {
    const auto empty = [](const char* text) { return standin::LangPackKey(text) + "=\n"; };
    HostOptions options;
    options.langPackPath = WriteLangPack(
        "[ruvenkal_actions]\n" + empty("Ruvenkal Extension : Show Config") + "[ruvenkal_menu]\n" +
        empty("&Settings...") + "[ruvenkal_DLG_101]\n" + empty("Ruvenkal config") +
        empty("Enable in:") + empty("Mouse cursor") + empty("Always"));
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    EXPECT_EQ("Ruvenkal Extension : Show Config", ActionNames()[0]);
    EXPECT_EQ("&Settings...", SubmenuItems()[0]);
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    const std::vector<std::string> texts = DialogTexts(dialog);
    for (const char* english : {"Ruvenkal config", "Enable in:", "Mouse cursor", "Always"}) {
        EXPECT_EQ(1, std::count(texts.begin(), texts.end(), english)) << english;
    }
    HWND reference = CreateDialogParamW(standin::Module(), MAKEINTRESOURCEW(101),
                                        standin::MainWindow(), &TemplateOnly, 0);
    EXPECT_TRUE(SameRects(Layout(reference), Layout(dialog)));
    DestroyWindow(reference);
    DeleteFileA(options.langPackPath.c_str());
}

// Alt with a letter of the translation's own script goes to the translated label's control, as
// the host hands its keys to the module: Alt+Б in Russian.
TEST_F(Localization, AltWithALetterOfAnyScriptReachesATranslatedLabel) {
    HostOptions options;
    options.langPackPath =
        WriteLangPack("[ruvenkal_DLG_101]\n" + standin::LangPackKey("&Lock lower half after:") +
                      "=&Блокировать после:\n");
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND scale = GetDlgItem(dialog, 1000);
    SetFocus(scale);
    auto* accelerator =
        static_cast<standin::AcceleratorRegister*>(standin::RegisteredItem("accelerator"));
    ASSERT_NE(nullptr, accelerator);
    // Alt+Б, with Caps Lock on: Wine matches a letter outside ASCII only in the label's own case.
    MSG altLetter = {scale, WM_SYSCHAR, 0x0411, 0x20000001, 0, {0, 0}};
    EXPECT_EQ(1, accelerator->translateAccel(&altLetter, accelerator));
    EXPECT_EQ(GetDlgItem(dialog, 1004), GetFocus());
    DeleteFileA(options.langPackPath.c_str());
}

// A translation longer than a text can be, 600 characters for a menu item: cut to 511, the most
// the module shows, and the menu still works.
TEST_F(Localization, AnOverlongTranslationIsCut) {
    HostOptions options;
    options.langPackPath =
        WriteLangPack("[ruvenkal_menu]\n" + standin::LangPackKey("&Settings...") + "=" +
                      std::string(600, 'x') + "\n");
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    HMENU extensions = standin::BuildMainMenu();
    HMENU submenu = GetSubMenu(extensions, GetMenuItemCount(extensions) - 1);
    std::vector<wchar_t> text(1024, L'#');
    EXPECT_EQ(511, GetMenuStringW(submenu, 0, text.data(), 1024, MF_BYPOSITION));
    EXPECT_EQ(std::wstring(511, L'x'), std::wstring(text.data()));
    EXPECT_EQ("&Zoom by dragging the time display", SubmenuItems()[1]);
    DeleteFileA(options.langPackPath.c_str());
}

// One text translated at a time, each of a kind that sets the widening alone.
TEST_F(Localization, OneLongTranslationWidensTheDialogToFitItWithinTheWorkArea) {
    const struct {
        const char* name;
        const char* english;
        size_t length;
        bool fits;  // false: longer than the work area allows
    } cases[] = {
        {"a label wider than the screen", "Scaling:", 400, false},
        {"a check box", "Upper half of time display", 60, true},
        {"a list item", "Edit cursor or play cursor", 60, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HostOptions options;
        options.langPackPath =
            WriteLangPack("[ruvenkal_DLG_101]\n" + standin::LangPackKey(c.english) + "=" +
                          std::string(c.length, 'w') + "\n");
        ASSERT_NO_FATAL_FAILURE(Attach(options));
        HWND dialog = OpenDialog();
        ASSERT_NE(nullptr, dialog);
        ExpectWithinTheWorkArea(dialog);
        if (c.fits) {
            ExpectEveryTextFits(dialog);
        }
        // A check box's text starts after its box and the gap that the system leaves.
        HWND upper = GetDlgItem(dialog, 1001);
        RECT box = {};
        GetWindowRect(upper, &box);
        HDC dc = GetDC(upper);
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(upper, WM_GETFONT, 0, 0)));
        RECT text = {};
        DrawTextW(dc, Wide(WindowText(upper)).c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
        INT zeroWidth = 0;
        GetCharWidth32W(dc, L'0', L'0', &zeroWidth);
        ReleaseDC(upper, dc);
        EXPECT_GE(box.right - box.left,
                  GetSystemMetrics(SM_CXMENUCHECK) + zeroWidth / 2 + text.right);
        DeleteFileA(options.langPackPath.c_str());
        standin::Stop();
    }
}

// Any language shows as written: a LangPack with Chinese and Cyrillic, one text from [common].
TEST_F(Localization, TextsOutsideLatinShowAsWritten) {
    const std::string path = WriteLangPack(
        "[ruvenkal_menu]\n" + standin::LangPackKey("&Settings...") + "=&Настройки...\n[common]\n" +
        standin::LangPackKey("Ruvenkal config") + "=Ruvenkal 配置\n");
    HostOptions options;
    options.langPackPath = path;
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    EXPECT_EQ("&Настройки...", SubmenuItems()[0]);
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    EXPECT_EQ(std::wstring(L"Ruvenkal \u914D\u7F6E"), caption);
    DeleteFileA(path.c_str());
}

}  // namespace
