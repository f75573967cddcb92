// The "Ruvenkal" submenu in the host's Extensions menu: what it holds, when it changes, and what
// choosing its items does.
#include <functional>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;
using Lines = std::vector<std::string>;

namespace {

// What the host builds at flag 0: plain command items, no state.
const std::string kSettingsLine = "  &Settings... #41000";
const std::string kToggleLine = "  &Zoom by dragging the time display #41001";
const std::string kUndoLine = "  &Undo zoom drag #41002";
const std::string kRedoLine = "  &Redo zoom drag #41003";

// Each item as a line: its text and identifier, then its check mark and whether it is disabled,
// or "----" for a separator; a submenu's items follow it, indented.
Lines DescribeMenu(HMENU menu, const std::string& indent = "") {
    Lines lines;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        if ((item.fType & MFT_SEPARATOR) != 0) {
            lines.push_back(indent + "----");  // the system may show these disabled
            continue;
        }
        std::string line = indent + text;
        if (item.hSubMenu == nullptr) {
            line += " #" + std::to_string(static_cast<int>(item.wID));
        }
        line += (item.fState & MFS_CHECKED) != 0 ? " checked" : "";
        line += (item.fState & MFS_GRAYED) != 0 ? " grayed" : "";
        lines.push_back(line);
        if (item.hSubMenu != nullptr) {
            const Lines inner = DescribeMenu(item.hSubMenu, indent + "  ");
            lines.insert(lines.end(), inner.begin(), inner.end());
        }
    }
    return lines;
}

struct ItemsCase {
    const char* name;
    std::function<void(HostOptions&)> configure;
    Lines items;
};

const ItemsCase kItemsCases[] = {
    {"On",
     [](HostOptions&) {},
     {"Ruvenkal", kSettingsLine, kToggleLine, "  ----", kUndoLine, kRedoLine}},
    // No check mark until the menu is about to show.
    {"StoredOff",
     [](HostOptions& o) { o.iniText = "[ruvenkal]\r\nenabled=0\r\n"; },
     {"Ruvenkal", kSettingsLine, kToggleLine, "  ----", kUndoLine, kRedoLine}},
    // An action the host gave no identifier has no item.
    {"WithoutTheToggle",
     [](HostOptions& o) { o.toggleCommandId = 0; },
     {"Ruvenkal", kSettingsLine, "  ----", kUndoLine, kRedoLine}},
    {"WithoutUndo",
     [](HostOptions& o) { o.undoCommandId = 0; },
     {"Ruvenkal", kSettingsLine, kToggleLine, "  ----", kRedoLine}},
    {"WithoutRedo",
     [](HostOptions& o) { o.redoCommandId = 0; },
     {"Ruvenkal", kSettingsLine, kToggleLine, "  ----", kUndoLine}},
    // A host that can't give views back has no zoom history.
    {"WithoutTheViewFunctions",
     [](HostOptions& o) { o.withheldFunctions = {"GetSet_ArrangeView2"}; },
     {"Ruvenkal", kSettingsLine, kToggleLine}},
};

class MenuItems : public HostTest, public ::testing::WithParamInterface<ItemsCase> {};

TEST_P(MenuItems, AreCommandsWithoutStateWhenTheHostBuildsItsExtensionsMenu) {
    HostOptions options;
    GetParam().configure(options);
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    HMENU extensions = standin::BuildMainMenu();
    ASSERT_NE(nullptr, extensions);
    EXPECT_EQ(GetParam().items, DescribeMenu(extensions));
}

INSTANTIATE_TEST_SUITE_P(Hosts, MenuItems, ::testing::ValuesIn(kItemsCases), CaseName());

using ExtensionsMenu = HostTest;

TEST_F(ExtensionsMenu, IsAppendedOnceAfterTheHostsOwnItems) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 500, "Host &A");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED | MF_CHECKED, 501, "Host B");
    Lines expected = DescribeMenu(menu);

    standin::CallMenuHook("Main extensions", menu, 0);
    standin::CallMenuHook("Main extensions", menu, 0);

    expected.insert(expected.end(),
                    {"Ruvenkal", kSettingsLine, kToggleLine, "  ----", kUndoLine, kRedoLine});
    EXPECT_EQ(expected, DescribeMenu(menu));
    DestroyMenu(menu);
}

TEST_F(ExtensionsMenu, OnlyTheBuiltExtensionsMenuGetsTheSubmenu) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const struct {
        const char* name;
        int flag;
    } calls[] = {{"Main extensions", 2},
                 {"Main extensions", -1},
                 {"Main extensions", 1},
                 {"Main file", 0},
                 {"main extensions", 0},
                 {"Main extensions ", 0},
                 {"Main extensions2", 0},
                 {"", 0},
                 {nullptr, 0},
                 {nullptr, 1}};
    for (const auto& call : calls) {
        SCOPED_TRACE(std::string(call.name ? call.name : "(null)") + " " +
                     std::to_string(call.flag));
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 500, "Host A");
        standin::CallMenuHook(call.name, menu, call.flag);
        EXPECT_EQ(Lines{"Host A #500"}, DescribeMenu(menu));
        DestroyMenu(menu);
    }
    // Nothing to add to or mark in a menu that isn't there.
    HMENU gone = CreatePopupMenu();
    DestroyMenu(gone);
    for (HMENU menu : {static_cast<HMENU>(nullptr), gone}) {
        standin::CallMenuHook("Main extensions", menu, 0);
        standin::CallMenuHook("Main extensions", menu, 1);
    }
}

// A drag that zooms, for something to undo.
void ZoomDrag() {
    standin::SendMouse(WM_LBUTTONDOWN, 40, 4, MK_LBUTTON);
    standin::SendMouse(WM_MOUSEMOVE, 40, 9, MK_LBUTTON);
    standin::SendMouse(WM_LBUTTONUP, 40, 9);
}

// The user may move the items anywhere: states go by command, into any submenu, under whatever
// menu name the host shows them.
TEST_F(ExtensionsMenu, StatesFollowTheItemsWhereverTheUserPutThem) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMENU menu = CreatePopupMenu();
    HMENU inner = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kToggle, "Zoom drag");
    AppendMenuA(menu, MF_STRING, 500, "Host A");
    AppendMenuA(inner, MF_STRING, 41003, "Redo");
    AppendMenuA(inner, MF_STRING | MF_GRAYED, 501, "Host B");
    AppendMenuA(inner, MF_STRING, 41002, "Undo");
    AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(inner), "Mine");
    const auto shown = [menu] {
        standin::CallMenuHook("Main options", menu, 1);
        return DescribeMenu(menu);
    };

    EXPECT_EQ((Lines{"Zoom drag #41001 checked", "Host A #500", "Mine", "  Redo #41003 grayed",
                     "  Host B #501 grayed", "  Undo #41002 grayed"}),
              shown());
    ZoomDrag();
    ASSERT_TRUE(standin::RunCommand(kToggle));
    EXPECT_EQ((Lines{"Zoom drag #41001", "Host A #500", "Mine", "  Redo #41003 grayed",
                     "  Host B #501 grayed", "  Undo #41002"}),
              shown());
    ASSERT_TRUE(standin::RunCommand(41002));
    EXPECT_EQ((Lines{"Zoom drag #41001", "Host A #500", "Mine", "  Redo #41003",
                     "  Host B #501 grayed", "  Undo #41002 grayed"}),
              shown());
    DestroyMenu(menu);
}

// Flag 0 builds the Extensions menu and nothing else: any other menu holding the items is left
// for flag 1 to mark.
TEST_F(ExtensionsMenu, FlagZeroOnAnotherMenuSetsNoState) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    for (const char* name : {"Main custom", "Main options", "Main extensions2"}) {
        SCOPED_TRACE(name);
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, kToggle, "Zoom drag");
        AppendMenuA(menu, MF_STRING, 41002, "Undo");
        const Lines before = DescribeMenu(menu);
        standin::CallMenuHook(name, menu, 0);
        EXPECT_EQ(before, DescribeMenu(menu));
        DestroyMenu(menu);
    }
}

// The grey states are the current project's, and asking for them in another project changes
// nothing.
TEST_F(ExtensionsMenu, GreyStatesAreTheCurrentProjects) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    ZoomDrag();
    ZoomDrag();
    ASSERT_TRUE(standin::RunCommand(41002));
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 41002, "Undo");
    AppendMenuA(menu, MF_STRING, 41003, "Redo");
    const auto shown = [menu] {
        standin::CallMenuHook("Main extensions", menu, 1);
        return DescribeMenu(menu);
    };
    EXPECT_EQ((Lines{"Undo #41002", "Redo #41003"}), shown());
    standin::SwitchProject(1);
    EXPECT_EQ((Lines{"Undo #41002 grayed", "Redo #41003 grayed"}), shown());
    standin::SwitchProject(0);
    EXPECT_EQ((Lines{"Undo #41002", "Redo #41003"}), shown());
    DestroyMenu(menu);
}

TEST_F(ExtensionsMenu, AMenuWithoutTheItemsIsLeftAsItIs) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    ZoomDrag();
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | MF_CHECKED, 500, "Host A");
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 501, "Host B");
    const Lines before = DescribeMenu(menu);
    standin::CallMenuHook("Main extensions", menu, 1);
    EXPECT_EQ(before, DescribeMenu(menu));
    DestroyMenu(menu);
}

TEST_F(ExtensionsMenu, CheckMarkFollowsTheSwitchEachTimeTheMenuOpens) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMENU extensions = standin::BuildMainMenu();
    const std::string on = kToggleLine + " checked";
    const std::string off = kToggleLine;

    for (const std::string& expected : {off, on, off}) {
        ASSERT_TRUE(standin::RunCommand(kToggle));
        // As the system tells the host that the menu is about to open.
        SendMessageA(standin::MainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(extensions),
                     0);
        EXPECT_EQ(expected, DescribeMenu(extensions)[2]);
    }
}

TEST_F(ExtensionsMenu, ChosenItemsRunTheirCommands) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMENU submenu = GetSubMenu(standin::BuildMainMenu(), 0);
    ASSERT_NE(nullptr, submenu);
    // As the system reports a chosen menu item to the host's main window.
    const auto choose = [submenu](int position) {
        const UINT id = GetMenuItemID(submenu, position);
        SendMessageA(standin::MainWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    };

    choose(0);
    HWND dialog = FindConfigDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(IsWindowVisible(dialog));
    choose(1);
    EXPECT_EQ(0, standin::ToggleState(kToggle));
    EXPECT_FALSE(ObserveGestureSettings().zooms);
}

TEST_F(ExtensionsMenu, WithoutAddExtensionsMainMenuTheHookStillServes) {
    HostOptions options;
    options.withheldFunctions = {"AddExtensionsMainMenu"};
    ASSERT_NO_FATAL_FAILURE(Attach(options));
    for (const std::string& event : Record().events) {
        EXPECT_EQ(std::string::npos, event.find("call AddExtensionsMainMenu"));
    }
    EXPECT_EQ(nullptr, standin::BuildMainMenu());

    // A host that has an Extensions menu of its own still hands it over.
    HMENU menu = CreatePopupMenu();
    standin::CallMenuHook("Main extensions", menu, 0);
    EXPECT_EQ("Ruvenkal", DescribeMenu(menu).at(0));
    DestroyMenu(menu);
}

// The host is quitting when it unloads modules: its menus are its own to take down.
TEST_F(ExtensionsMenu, UnloadLeavesTheHostsMenuAsItIs) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMENU extensions = standin::BuildMainMenu();
    const Lines before = DescribeMenu(extensions);
    ASSERT_EQ(6u, before.size());
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_EQ(before, DescribeMenu(extensions));
    EXPECT_EQ(nullptr, standin::RegisteredItem("hookcustommenu"));
}

}  // namespace
