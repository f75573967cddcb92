// The texts a user sees, through the host's LangPacks where the host offers LocalizeString. The
// host's texts are UTF-8; windows and menus get them through the wide functions, so that any
// language shows as written.
#pragma once

#include <windows.h>

enum TextId : int {
#define UI_TEXT(id, section, english) id,
#include "texts/ui_texts.def"
#undef UI_TEXT
    TEXT_COUNT
};

// The text in the user's language; the English one without LocalizeString or a translation.
// Lives as long as the module.
const char* LocalizedText(TextId id);

// Whether any of the dialog's texts has a translation.
bool DialogTextsTranslated();

// The English text of a dialog control, by which the dialog's texts are found in the table; its
// translation, or null for a text that isn't there.
const char* LocalizedDialogText(const char* english);

// A UTF-8 text in the form the wide functions take, cut to fit `size` characters with the
// terminator. An empty string for a null text.
void ToWide(const char* utf8, wchar_t* wide, int size);

// Window, item and menu texts from UTF-8.
void SetWindowTextUtf8(HWND window, const char* utf8);
void AddComboItemUtf8(HWND comboBox, const char* utf8);
void AppendMenuUtf8(HMENU menu, UINT flags, UINT_PTR item, const char* utf8);
