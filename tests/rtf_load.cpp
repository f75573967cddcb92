// Loads RTF files into a RichEdit control, as ReaPack's About tab loads a package's description,
// and writes each control's plain text beside its file, as FILE.txt in UTF-8, and the height of
// its first character in twips, as FILE.height. Exits non-zero if any file does not load as RTF.
//
//   rtf_load.exe FILE...
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Reading {
    FILE* file;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* reading = reinterpret_cast<Reading*>(cookie);
    *done = static_cast<LONG>(std::fread(buffer, 1, static_cast<size_t>(size), reading->file));
    return 0;
}

// The control's text in UTF-8, or an empty text with `loaded` false.
std::string LoadRtf(HWND control, const char* path, bool* loaded) {
    *loaded = false;
    Reading reading = {std::fopen(path, "rb")};
    if (reading.file == nullptr) {
        std::fprintf(stderr, "%s: can't be opened\n", path);
        return "";
    }
    SetWindowTextW(control, L"");
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&reading), 0, &ReadChunk};
    const LRESULT characters =
        SendMessageW(control, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    std::fclose(reading.file);
    if (characters <= 0 || stream.dwError != 0) {
        std::fprintf(stderr, "%s: Could not load RTF document.\n", path);
        return "";
    }
    const int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    GetWindowTextW(control, text.data(), length + 1);
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    *loaded = true;
    return utf8;
}

}  // namespace

int main(int argc, char** argv) {
    if (LoadLibraryA("riched20.dll") == nullptr) {
        std::fprintf(stderr, "riched20.dll can't be loaded\n");
        return 1;
    }
    HWND control = CreateWindowExW(0, RICHEDIT_CLASSW, L"", WS_POPUP | ES_MULTILINE, 0, 0, 400, 300,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) {
        std::fprintf(stderr, "no RichEdit control\n");
        return 1;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        bool loaded = false;
        const std::string text = LoadRtf(control, argv[i], &loaded);
        const std::string out = std::string(argv[i]) + ".txt";
        FILE* file = std::fopen(out.c_str(), "wb");
        if (!loaded || file == nullptr) {
            status = 1;
        }
        if (file != nullptr) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
        // The size the text loaded with, which ReaPack shows at 3/4 (EM_SETZOOM 3, 4).
        SendMessageW(control, EM_SETSEL, 0, 1);
        CHARFORMATW format = {};
        format.cbSize = sizeof format;
        SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        FILE* height = std::fopen((std::string(argv[i]) + ".height").c_str(), "wb");
        if (height != nullptr) {
            std::fprintf(height, "%ld\n", static_cast<long>(format.yHeight));
            std::fclose(height);
        }
    }
    DestroyWindow(control);
    return status;
}
