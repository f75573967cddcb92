// The dialog in the user's language. Translations often run a third longer than the English:
// where one doesn't fit its control, the dialog and its controls widen by one factor, the least
// that fits every text, as a LangPack's own dialog scale would.
#pragma once

#include <windows.h>

// Translates the caption and every control's text, then widens the dialog if they need it,
// within the work area of its monitor. Untranslated, the dialog stays exactly as it is.
void LocalizeDialog(HWND dialog);
