// Opens the configuration dialog over the stand-in host's window and keeps it open, so that a
// script can take its picture. Prints the dialog's screen rectangle as "left top right bottom".
#include <cstdio>
#include <cstdlib>

#include "standin_host.h"

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    standin::HostOptions options;
    options.showMainWindow = true;
    options.mainWindowRect = {40, 30, 600, 390};
    if (!standin::Start(options) || standin::CallEntry() != 1 ||
        !standin::RunCommand(options.commandId)) {
        std::fprintf(stderr, "show_config: the module did not attach\n");
        return 1;
    }
    HWND dialog = FindWindowA(reinterpret_cast<LPCSTR>(32770), "Ruvenkal config");
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    std::fflush(stdout);

    const DWORD end = GetTickCount() + seconds * 1000;
    while (GetTickCount() < end) {
        standin::PumpMessages();
        Sleep(20);
    }
    standin::Stop();
    return 0;
}
