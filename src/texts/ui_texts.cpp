#include "texts/ui_texts.h"

#include <cstring>

#include "host/module_state.h"

namespace {

struct UiText {
    const char* section;
    const char* english;
};

const UiText kUiTexts[TEXT_COUNT] = {
#define UI_TEXT(id, section, english) {section, english},
#include "texts/ui_texts.def"
#undef UI_TEXT
};

const char kDialogSection[] = "ruvenkal_DLG_101";

// The host's LangPack texts are short; a longer one is cut, never overrun.
constexpr int kWideTextSize = 512;

}  // namespace

const char* LocalizedText(TextId id) {
    if (id < 0 || id >= TEXT_COUNT) {
        return "";
    }
    const UiText& text = kUiTexts[id];
    LocalizeStringFunction localize = moduleState.hostApi.LocalizeString;
    const char* localized = localize != nullptr ? localize(text.english, text.section, 0) : nullptr;
    // An empty translation is a real line in a LangPack, but showing it would blank the text.
    return localized != nullptr && localized[0] != '\0' ? localized : text.english;
}

bool DialogTextsTranslated() {
    for (int id = 0; id < TEXT_COUNT; ++id) {
        const UiText& text = kUiTexts[id];
        if (std::strcmp(text.section, kDialogSection) == 0 &&
            std::strcmp(LocalizedText(static_cast<TextId>(id)), text.english) != 0) {
            return true;
        }
    }
    return false;
}

const char* LocalizedDialogText(const char* english) {
    for (int id = 0; id < TEXT_COUNT; ++id) {
        const UiText& text = kUiTexts[id];
        if (std::strcmp(text.section, kDialogSection) == 0 &&
            std::strcmp(text.english, english) == 0) {
            return LocalizedText(static_cast<TextId>(id));
        }
    }
    return nullptr;
}

void ToWide(const char* utf8, wchar_t* wide, int size) {
    if (size < 1) {
        return;
    }
    wide[0] = L'\0';
    if (utf8 == nullptr) {
        return;
    }
    // A conversion that doesn't fit converts nothing: a longer text is cut until it fits.
    int length = static_cast<int>(std::strlen(utf8));
    int written = 0;
    while (length > 0 &&
           (written = MultiByteToWideChar(CP_UTF8, 0, utf8, length, wide, size - 1)) == 0) {
        --length;
    }
    wide[written] = L'\0';
}

void SetWindowTextUtf8(HWND window, const char* utf8) {
    wchar_t wide[kWideTextSize];
    ToWide(utf8, wide, kWideTextSize);
    SetWindowTextW(window, wide);
}

void AddComboItemUtf8(HWND comboBox, const char* utf8) {
    wchar_t wide[kWideTextSize];
    ToWide(utf8, wide, kWideTextSize);
    SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide));
}

void AppendMenuUtf8(HMENU menu, UINT flags, UINT_PTR item, const char* utf8) {
    wchar_t wide[kWideTextSize];
    ToWide(utf8, wide, kWideTextSize);
    AppendMenuW(menu, flags, item, wide);
}
