// The entry as the host calls it: refusals, the order of the start-up steps, and the unload call.
#include <functional>
#include <string>
#include <vector>

#include "host_fixture.h"

using standin::HostOptions;
using standin::Record;
using standin::TimeDisplayPlacement;
using Events = std::vector<std::string>;

namespace {

const Events kRequiredLookups = {"lookup adjustZoom", "lookup GetHZoomLevel"};
// The settings are loaded after the required lookups and before the time display is searched.
const Events kLookupsAndSettings = {"lookup adjustZoom",
                                    "lookup GetHZoomLevel",
                                    "lookup get_ini_file",
                                    "lookup RefreshToolbar2",
                                    "lookup AddExtensionsMainMenu",
                                    "lookup GetSet_ArrangeView2",
                                    "lookup EnumProjects",
                                    "lookup GetCurrentProjectInLoadSave",
                                    "lookup LocalizeString",
                                    "call get_ini_file"};

Events Then(const Events& first, const Events& more) {
    Events events = first;
    events.insert(events.end(), more.begin(), more.end());
    return events;
}

// Show Config's three registrations, then the toggle's, Undo's and Redo's, the menu's, the
// keyboard's and the functions for scripts.
const Events kScriptApiEvents = {
    "register API_Ruvenkal_GetSetting",       "register APIdef_Ruvenkal_GetSetting",
    "register APIvararg_Ruvenkal_GetSetting", "register API_Ruvenkal_SetSetting",
    "register APIdef_Ruvenkal_SetSetting",    "register APIvararg_Ruvenkal_SetSetting"};
const Events kAttachEvents =
    Then(Then(kLookupsAndSettings,
              {"register command_id", "register gaccel", "register hookcommand",
               "register command_id", "register gaccel", "register toggleaction",
               "register command_id", "register gaccel", "register command_id", "register gaccel",
               "register hookcustommenu", "call AddExtensionsMainMenu", "register accelerator"}),
         Then(kScriptApiEvents, {"register projectconfig"}));
const Events kUnloadEvents = {"register -projectconfig",
                              "register -API_Ruvenkal_GetSetting",
                              "register -APIdef_Ruvenkal_GetSetting",
                              "register -APIvararg_Ruvenkal_GetSetting",
                              "register -API_Ruvenkal_SetSetting",
                              "register -APIdef_Ruvenkal_SetSetting",
                              "register -APIvararg_Ruvenkal_SetSetting",
                              "register -accelerator",
                              "register -hookcommand",
                              "register -gaccel",
                              "register -toggleaction",
                              "register -gaccel",
                              "register -gaccel",
                              "register -gaccel",
                              "register -hookcustommenu"};

struct RefusalCase {
    const char* name;
    std::function<void(HostOptions&)> configure;
    Events expectedEvents;  // all that may have happened before the refusal
};

const RefusalCase kRefusals[] = {
    {"OlderInterface", [](HostOptions& o) { o.version = 0x20D; }, {}},
    {"NewerInterface", [](HostOptions& o) { o.version = 0x20F; }, {}},
    {"NoLookupFunction", [](HostOptions& o) { o.offerLookupFunction = false; }, {}},
    {"NoRegisterItem", [](HostOptions& o) { o.offerRegisterItem = false; }, {}},
    {"NoAdjustZoom",
     [](HostOptions& o) { o.withheldFunctions = {"adjustZoom"}; },
     {"lookup adjustZoom"}},
    // get_ini_file is offered but never asked for: the file stays unread.
    {"NoGetHZoomLevel", [](HostOptions& o) { o.withheldFunctions = {"GetHZoomLevel"}; },
     kRequiredLookups},
    {"TimeDisplayIsGrandchild",
     [](HostOptions& o) { o.placement = TimeDisplayPlacement::Grandchild; }, kLookupsAndSettings},
    {"NoTimeDisplay", [](HostOptions& o) { o.placement = TimeDisplayPlacement::Missing; },
     kLookupsAndSettings},
};

class EntryRefusal : public HostTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(EntryRefusal, ReturnsZeroWithNothingInPlace) {
    HostOptions options;
    GetParam().configure(options);
    ASSERT_TRUE(standin::Start(options));

    EXPECT_EQ(0, standin::CallEntry());
    EXPECT_EQ(GetParam().expectedEvents, Record().events);
    EXPECT_EQ(nullptr, standin::RegisteredItem("gaccel"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("hookcommand"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("toggleaction"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("hookcustommenu"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("accelerator"));
    for (const char* key : {"API_Ruvenkal_GetSetting", "APIdef_Ruvenkal_GetSetting",
                            "APIvararg_Ruvenkal_GetSetting", "API_Ruvenkal_SetSetting",
                            "APIdef_Ruvenkal_SetSetting", "APIvararg_Ruvenkal_SetSetting"}) {
        EXPECT_EQ(nullptr, standin::RegisteredItem(key)) << key;
    }
    EXPECT_FALSE(standin::TimeDisplayIsSubclassed());
    EXPECT_EQ(0, Record().hZoomLevelCalls);
}

INSTANTIATE_TEST_SUITE_P(Cases, EntryRefusal, ::testing::ValuesIn(kRefusals), CaseName());

using Entry = HostTest;

// A press and a move reach the time display once each, and the move zooms once (or, for a hook
// left behind by an unloaded copy, not at all): one hook.
void ExpectOneHook(bool zooms = true) {
    Record().timeDisplayMessages.clear();
    const size_t zoomsBefore = Record().zoomCalls.size();
    standin::SendMouse(WM_LBUTTONDOWN, 10, 5);
    standin::SendMouse(WM_MOUSEMOVE, 10, 9, MK_LBUTTON);
    int presses = 0;
    int moves = 0;
    for (const standin::WindowMessage& m : Record().timeDisplayMessages) {
        presses += m.message == WM_LBUTTONDOWN ? 1 : 0;
        moves += m.message == WM_MOUSEMOVE ? 1 : 0;
    }
    EXPECT_EQ(1, presses);
    EXPECT_EQ(1, moves);
    EXPECT_EQ(zoomsBefore + (zooms ? 1 : 0), Record().zoomCalls.size());
}

TEST_F(Entry, NullRecordBeforeAttachReturnsZero) {
    ASSERT_TRUE(standin::Start());
    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_TRUE(Record().events.empty());
    EXPECT_FALSE(standin::TimeDisplayIsSubclassed());
}

TEST_F(Entry, AttachesInOrderAndNeverCallsGetHZoomLevel) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    EXPECT_EQ(kAttachEvents, Record().events);

    standin::SendMouse(WM_LBUTTONDOWN, 10, 5);
    standin::SendMouse(WM_MOUSEMOVE, 10, 8, MK_LBUTTON);
    ASSERT_EQ(1u, Record().zoomCalls.size());
    EXPECT_EQ(0, Record().hZoomLevelCalls);
}

// A second hook would make the time display's procedure forward to itself.
TEST_F(Entry, SecondCallWhileAttachedReturnsOneAndChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Events afterFirst = Record().events;

    EXPECT_EQ(1, standin::CallEntry());
    EXPECT_EQ(afterFirst, Record().events);
    ExpectOneHook();
}

TEST_F(Entry, UnloadCallPutsTheTimeDisplayProcedureBack) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    standin::SendMouse(WM_LBUTTONDOWN, 10, 5);

    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_FALSE(standin::TimeDisplayIsSubclassed());
    EXPECT_EQ(Then(kAttachEvents, kUnloadEvents), Record().events);
    EXPECT_EQ(nullptr, standin::RegisteredItem("hookcommand"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("gaccel"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("toggleaction"));
    EXPECT_EQ(nullptr, standin::RegisteredItem("accelerator"));

    // The host unloads the module; the time display goes on working without it.
    standin::UnloadModule();
    Record().timeDisplayMessages.clear();
    EXPECT_EQ(standin::TimeDisplayResult(0), standin::SendMouse(WM_MOUSEMOVE, 10, 9, MK_LBUTTON));
    EXPECT_TRUE(Record().zoomCalls.empty());
}

TEST_F(Entry, AttachesAgainAfterTheUnloadCall) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    ASSERT_EQ(0, standin::CallEntry(nullptr));

    EXPECT_EQ(1, standin::CallEntry());
    EXPECT_TRUE(standin::TimeDisplayIsSubclassed());
    ExpectOneHook();
}

// Another module's subclass on top of ours still forwards into us, so the hook and the module
// have to stay; unloading must not leave the time display calling freed code.
WNDPROC procBelowForeignSubclass = nullptr;
int foreignSubclassCalls = 0;

// The module's mark on the time display, as left once the chain below has seen WM_NCDESTROY.
HANDLE markAfterDestroy = nullptr;

LRESULT CALLBACK ForeignSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++foreignSubclassCalls;
    const LRESULT result =
        CallWindowProcW(procBelowForeignSubclass, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        markAfterDestroy = GetPropA(window, "ruvenkal");
    }
    return result;
}

void AddForeignSubclass() {
    procBelowForeignSubclass = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        standin::TimeDisplay(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignSubclass)));
}

// Restores the chain so the host can close its window normally.
void RemoveForeignSubclass() {
    SetWindowLongPtrW(standin::TimeDisplay(), GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(procBelowForeignSubclass));
}

TEST_F(Entry, UnloadCallUnderAForeignSubclassKeepsTheModuleLoaded) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    AddForeignSubclass();

    EXPECT_EQ(0, standin::CallEntry(nullptr));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ForeignSubclass),
              GetWindowLongPtrW(standin::TimeDisplay(), GWLP_WNDPROC));

    standin::UnloadModule();
    foreignSubclassCalls = 0;
    Record().timeDisplayMessages.clear();
    EXPECT_EQ(standin::TimeDisplayResult(0), standin::SendMouse(WM_MOUSEMOVE, 10, 9, MK_LBUTTON));
    EXPECT_EQ(1, foreignSubclassCalls);
    RemoveForeignSubclass();
}

// Left in the chain under another module's subclass, the hook only forwards: a drag held across
// the unload neither zooms nor gets pinned, and nothing of the host is called.
TEST_F(Entry, AHookLeftInTheChainOnlyForwards) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    AddForeignSubclass();
    standin::SendMouse(WM_LBUTTONDOWN, 10, 15, MK_LBUTTON);
    standin::SendMouse(WM_MOUSEMOVE, 10, 18, MK_LBUTTON);
    ASSERT_EQ(1u, Record().zoomCalls.size());
    ASSERT_EQ(0, standin::CallEntry(nullptr));
    standin::UnloadModule();

    Record().events.clear();
    Record().viewCalls.clear();
    Record().timeDisplayMessages.clear();
    const struct {
        UINT message;
        WPARAM keys;
        int x, y;
    } messages[] = {{WM_MOUSEMOVE, MK_LBUTTON, 30, 25},
                    {WM_LBUTTONUP, 0, 30, 25},
                    {WM_LBUTTONDOWN, MK_LBUTTON, 10, 15},
                    {WM_MOUSEMOVE, MK_LBUTTON, 14, 30},
                    {WM_MOUSEMOVE, 0, 20, 30}};
    for (const auto& m : messages) {
        standin::SendMouse(m.message, m.x, m.y, m.keys);
    }
    EXPECT_EQ(1u, Record().zoomCalls.size());
    EXPECT_TRUE(Record().events.empty());
    EXPECT_TRUE(Record().viewCalls.empty());
    std::vector<LPARAM> received;
    for (const standin::WindowMessage& m : Record().timeDisplayMessages) {
        if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONUP) {
            received.push_back(m.lParam);
        }
    }
    std::vector<LPARAM> sent;
    for (const auto& m : messages) {
        sent.push_back(standin::MousePosition(m.x, m.y));
    }
    EXPECT_EQ(sent, received);
    RemoveForeignSubclass();
}

// A hook left in the chain takes its mark along when the time display goes, as the host closes.
TEST_F(Entry, AHookLeftInTheChainRemovesItsMarkWhenTheTimeDisplayIsDestroyed) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    AddForeignSubclass();
    ASSERT_EQ(0, standin::CallEntry(nullptr));
    standin::UnloadModule();
    ASSERT_NE(nullptr, GetPropA(standin::TimeDisplay(), "ruvenkal"));
    markAfterDestroy = INVALID_HANDLE_VALUE;
    DestroyWindow(standin::TimeDisplay());
    EXPECT_EQ(nullptr, markAfterDestroy);
}

// The host may destroy the time display before its unload call: the module must let go of the
// window then, and the unload call must neither restore nor pin anything for it.
TEST_F(Entry, TimeDisplayDestroyedMidDragIsForgotten) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    standin::SendMouse(WM_LBUTTONDOWN, 10, 15);
    standin::SendMouse(WM_MOUSEMOVE, 10, 17, MK_LBUTTON);
    Record().timeDisplayMessages.clear();

    DestroyWindow(standin::TimeDisplay());
    ASSERT_FALSE(Record().timeDisplayMessages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), Record().timeDisplayMessages.back().message);

    EXPECT_EQ(0, standin::CallEntry(nullptr));
    const std::string path = standin::ModulePath();
    standin::UnloadModule();
    EXPECT_EQ(nullptr, GetModuleHandleA(path.c_str())) << "the module pinned itself";
}

// Two copies under different file names: only the first hooks and registers; after it has
// detached, the other may attach.
TEST_F(Entry, SecondCopyRefusesWhileTheFirstIsAttached) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    HMODULE second = standin::LoadSecondCopy();
    ASSERT_NE(nullptr, second);
    Record().events.clear();

    EXPECT_EQ(0, standin::CallEntryOf(second));
    for (const std::string& event : Record().events) {
        EXPECT_EQ(std::string::npos, event.find("register")) << event;
    }
    ExpectOneHook();
    standin::SendMouse(WM_LBUTTONUP, 10, 9);

    ASSERT_EQ(0, standin::CallEntry(nullptr));
    standin::UnloadModule();
    EXPECT_EQ(1, standin::CallEntryOf(second));
    EXPECT_TRUE(standin::TimeDisplayIsSubclassed());
    ExpectOneHook();
    standin::SendMouse(WM_LBUTTONUP, 10, 9);
    EXPECT_EQ(0, standin::CallEntryOf(second, nullptr));
}

TEST_F(Entry, SecondCopyRefusesWhileTheFirstMustStayHooked) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    AddForeignSubclass();
    ASSERT_EQ(0, standin::CallEntry(nullptr));

    HMODULE second = standin::LoadSecondCopy();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(0, standin::CallEntryOf(second));
    ExpectOneHook(false);
    RemoveForeignSubclass();
}

}  // namespace
