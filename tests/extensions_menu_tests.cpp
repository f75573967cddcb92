// The "Ruvenkal" submenu in the host's Extensions menu: what it holds, when it changes, and what
// choosing its items does.
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;
using Lines = std::vector<std::string>;

namespace {

const std::string kVersionLine = "  Ruvenkal " RUVENKAL_VERSION " #0 grayed";

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
    int toggleCommandId;
    std::string iniText;
    Lines items;
};

const ItemsCase kItemsCases[] = {
    {"On",
     kToggle,
     "",
     {"Ruvenkal", "  &Settings... #41000", "  &Zoom by dragging the time display #41001 checked",
      "  ----", kVersionLine}},
    {"StoredOff",
     kToggle,
     "[ruvenkal]\r\nenabled=0\r\n",
     {"Ruvenkal", "  &Settings... #41000", "  &Zoom by dragging the time display #41001", "  ----",
      kVersionLine}},
    // The host gave the toggle no identifier.
    {"WithoutTheToggle", 0, "", {"Ruvenkal", "  &Settings... #41000", "  ----", kVersionLine}},
};

class MenuItems : public HostTest, public ::testing::WithParamInterface<ItemsCase> {};

TEST_P(MenuItems, AreAppendedWhenTheHostBuildsItsExtensionsMenu) {
    HostOptions options;
    options.toggleCommandId = GetParam().toggleCommandId;
    if (!GetParam().iniText.empty()) {
        options.iniText = GetParam().iniText;
    }
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
    const Lines hostItems = DescribeMenu(menu);

    standin::CallMenuHook("Main extensions", menu, 0);
    standin::CallMenuHook("Main extensions", menu, 0);

    Lines expected = hostItems;
    expected.insert(expected.end(), {"Ruvenkal", "  &Settings... #41000",
                                     "  &Zoom by dragging the time display #41001 checked",
                                     "  ----", kVersionLine});
    EXPECT_EQ(expected, DescribeMenu(menu));
    DestroyMenu(menu);
}

TEST_F(ExtensionsMenu, OtherMenusAndFlagsChangeNothing) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMENU extensions = standin::BuildMainMenu();
    ASSERT_TRUE(standin::RunCommand(kToggle));  // off, which only flag 1 shows
    const Lines before = DescribeMenu(extensions);

    const struct {
        const char* name;
        int flag;
    } calls[] = {{"Main extensions", 2},
                 {"Main extensions", -1},
                 {"Main file", 0},
                 {"Main file", 1},
                 {"main extensions", 1},
                 {"Main extensions ", 0},
                 {"Main extensions2", 1},
                 {"", 1},
                 {nullptr, 0},
                 {nullptr, 1}};
    for (const auto& call : calls) {
        SCOPED_TRACE(std::string(call.name ? call.name : "(null)") + " " +
                     std::to_string(call.flag));
        standin::CallMenuHook(call.name, extensions, call.flag);
        EXPECT_EQ(before, DescribeMenu(extensions));
    }
    // Nothing to add to or mark in a menu that isn't there.
    HMENU gone = CreatePopupMenu();
    DestroyMenu(gone);
    for (HMENU menu : {static_cast<HMENU>(nullptr), gone}) {
        standin::CallMenuHook("Main extensions", menu, 0);
        standin::CallMenuHook("Main extensions", menu, 1);
    }
}

TEST_F(ExtensionsMenu, CheckMarkFollowsTheSwitchEachTimeTheMenuOpens) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMENU extensions = standin::BuildMainMenu();
    const std::string on = "  &Zoom by dragging the time display #41001 checked";
    const std::string off = "  &Zoom by dragging the time display #41001";
    ASSERT_EQ(on, DescribeMenu(extensions)[2]);

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

TEST_F(ExtensionsMenu, UnloadTakesTheSubmenuAway) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMENU extensions = standin::BuildMainMenu();
    ASSERT_EQ(5u, DescribeMenu(extensions).size());
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_EQ(Lines{}, DescribeMenu(extensions));
    EXPECT_EQ(nullptr, standin::RegisteredItem("hookcustommenu"));
}

}  // namespace
