// The dialog template as compiled into the module, read item by item.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host_fixture.h"

namespace {

// Reads a DLGTEMPLATE and its DLGITEMTEMPLATEs from the resource's bytes.
class TemplateReader {
public:
    explicit TemplateReader(const std::uint8_t* bytes) : start_(bytes), at_(bytes) {}

    template <typename Value>
    Value Read() {
        Value value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    // A text, or 0xFFFF and a number: shown as "#number".
    std::string ReadTextOrOrdinal() {
        if (Peek() == 0xFFFF) {
            Read<std::uint16_t>();
            return "#" + std::to_string(Read<std::uint16_t>());
        }
        std::string text;
        for (std::uint16_t c = Read<std::uint16_t>(); c != 0; c = Read<std::uint16_t>()) {
            text += static_cast<char>(c);
        }
        return text;
    }

    void AlignToDword() {
        while ((at_ - start_) % 4 != 0) {
            ++at_;
        }
    }

private:
    std::uint16_t Peek() const {
        std::uint16_t value;
        std::memcpy(&value, at_, sizeof value);
        return value;
    }

    const std::uint8_t* start_;
    const std::uint8_t* at_;
};

struct Item {
    DWORD style;
    DWORD extendedStyle;
    short x, y, cx, cy;
    std::uint16_t id;
    std::string windowClass;  // "#128" button, "#129" edit, "#130" static
    std::string text;
};

using DialogTemplate = HostTest;

TEST_F(DialogTemplate, MatchesTheDesign) {
    ASSERT_TRUE(standin::Start());
    HRSRC resource = FindResourceA(standin::Module(), MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(5));
    ASSERT_NE(nullptr, resource);
    TemplateReader reader(
        static_cast<const std::uint8_t*>(LockResource(LoadResource(standin::Module(), resource))));

    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
              reader.Read<DWORD>());
    EXPECT_EQ(0u, reader.Read<DWORD>());  // no extended styles
    const std::uint16_t itemCount = reader.Read<std::uint16_t>();
    const short frame[4] = {reader.Read<short>(), reader.Read<short>(), reader.Read<short>(),
                            reader.Read<short>()};
    EXPECT_EQ(0, frame[0]);
    EXPECT_EQ(0, frame[1]);
    EXPECT_EQ(125, frame[2]);
    EXPECT_EQ(243, frame[3]);
    EXPECT_EQ("", reader.ReadTextOrOrdinal());  // no menu
    EXPECT_EQ("", reader.ReadTextOrOrdinal());  // no class of its own
    EXPECT_EQ("Ruvenkal config", reader.ReadTextOrOrdinal());
    EXPECT_EQ(8, reader.Read<std::uint16_t>());
    EXPECT_EQ("MS Shell Dlg", reader.ReadTextOrOrdinal());

    const DWORD shown = WS_CHILD | WS_VISIBLE;
    const std::vector<Item> expected = {
        {shown | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 46, 58, 51, 13, 1000, "#129", ""},
        {shown | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 16, 19, 95, 10, 1001, "#128",
         "Upper half of time display"},
        {shown | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 16, 32, 95, 10, 1002, "#128",
         "Lower half of time display"},
        {shown | BS_GROUPBOX, 0, 7, 7, 111, 40, 0xFFFF, "#128", "Enable in:"},
        {shown | WS_GROUP | SS_LEFT, 0, 17, 61, 26, 8, 0xFFFF, "#130", "Scaling:"},
        {shown | BS_GROUPBOX, 0, 7, 48, 111, 29, 0xFFFF, "#128", ""},
        // Below the first six, which keep their places.
        {shown | WS_GROUP | SS_LEFT, 0, 17, 87, 91, 8, 0xFFFF, "#130", "Zoom &around:"},
        {shown | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 17, 97, 97, 80, 1003, "#133", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 17, 117, 70, 8, 0xFFFF, "#130", "&Lock lower half after:"},
        {shown | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, 0, 87, 115, 17, 13, 1004,
         "#129", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 106, 117, 8, 8, 0xFFFF, "#130", "px"},
        {shown | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, 0, 17, 132, 95, 16, 1005, "#128",
         "Zoom by &dragging the time display"},
        {shown | BS_GROUPBOX, 0, 7, 78, 111, 73, 0xFFFF, "#128", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 17, 161, 91, 8, 0xFFFF, "#130", "Zoom &when:"},
        {shown | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 17, 171, 97, 80, 1006, "#133", ""},
        {shown | BS_GROUPBOX, 0, 7, 152, 111, 35, 0xFFFF, "#128", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 17, 196, 91, 8, 0xFFFF, "#130", "&Upper half zooms after:"},
        {shown | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, 0, 17, 206, 17, 13, 1008,
         "#129", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 36, 208, 8, 8, 0xFFFF, "#130", "px"},
        {shown | BS_GROUPBOX, 0, 7, 188, 111, 36, 0xFFFF, "#128", ""},
        // The version on the last line, filled in when the dialog opens.
        {shown | SS_CENTER | SS_NOPREFIX, 0, 7, 229, 111, 8, 1007, "#130", ""},
    };
    ASSERT_EQ(expected.size(), itemCount);
    for (const Item& want : expected) {
        SCOPED_TRACE(want.text + " " + std::to_string(want.id));
        reader.AlignToDword();
        EXPECT_EQ(want.style, reader.Read<DWORD>());
        EXPECT_EQ(want.extendedStyle, reader.Read<DWORD>());
        EXPECT_EQ(want.x, reader.Read<short>());
        EXPECT_EQ(want.y, reader.Read<short>());
        EXPECT_EQ(want.cx, reader.Read<short>());
        EXPECT_EQ(want.cy, reader.Read<short>());
        EXPECT_EQ(want.id, reader.Read<std::uint16_t>());
        EXPECT_EQ(want.windowClass, reader.ReadTextOrOrdinal());
        EXPECT_EQ(want.text, reader.ReadTextOrOrdinal());
        EXPECT_EQ(0, reader.Read<std::uint16_t>());  // no creation data
    }

    // Every text is one that translators get, under the dialog's section.
    std::set<std::string> translatable;
#define UI_TEXT(id, section, english)                 \
    if (std::string(section) == "ruvenkal_DLG_101") { \
        translatable.insert(english);                 \
    }
#include "texts/ui_texts.def"
#undef UI_TEXT
    EXPECT_EQ(1u, translatable.count("Ruvenkal config"));
    // The dialog's own labels each have a letter for Alt, none the same; the first release's
    // texts stay as they were.
    std::set<char> letters;
    int labelled = 0;
    for (const Item& item : expected) {
        if (!item.text.empty()) {
            EXPECT_EQ(1u, translatable.count(item.text)) << item.text;
        }
        const size_t ampersand = item.text.find('&');
        if (ampersand != std::string::npos && ampersand + 1 < item.text.size()) {
            ++labelled;
            EXPECT_TRUE(
                letters.insert(static_cast<char>(std::tolower(item.text[ampersand + 1]))).second)
                << item.text;
        }
    }
    EXPECT_EQ(5, labelled);
}

}  // namespace
