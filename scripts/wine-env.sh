#!/usr/bin/env bash
# The Wine set-up shared by the scripts that run the cross-built programs: one 64-bit prefix
# inside the build tree, whose 32-bit side runs the x86 programs. Source it, then call
# ruvenkal_start_wine inside an X display (xvfb-run).
#
# Everything goes through Wine's 64-bit loader and wineserver: they need no 32-bit program, so
# x64 runs on machines that can't run 32-bit programs at all. Debian's `wine` wrapper would start
# the 32-bit loader whenever wine32 is installed.

export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or HTML engine to look for
export WINESERVER=/usr/lib/wine/wineserver64
export RUVENKAL_WINE=/usr/lib/wine/wine64

ruvenkal_wine() {
    "$RUVENKAL_WINE" "$@"
}

# Sets up the prefix if needed and keeps its wineserver running until the calling shell exits, so
# that each program starts in a fraction of a second. Windows open in a virtual desktop: they get
# caption bars, and Wine doesn't wait for a window manager (there is none under Xvfb) each time a
# window is hidden.
#
#   ruvenkal_start_wine [with-x86]   with-x86: the prefix's 32-bit side must be set up too.
ruvenkal_start_wine() {
    local x86_side="${1:-}"
    local configured="$WINEPREFIX/.ruvenkal-configured"
    # A prefix from before (32-bit, or set up while 32-bit programs couldn't run) is made anew.
    if [ -f "$WINEPREFIX/system.reg" ] && { ! grep -q '^#arch=win64' "$WINEPREFIX/system.reg" ||
        { [ -n "$x86_side" ] && ! grep -qx with-x86 "$configured" 2>/dev/null; }; }; then
        "$WINESERVER" -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$WINEPREFIX"
    # One left running from another display would fail to create windows on this one.
    "$WINESERVER" -k 2>/dev/null || true
    # Started first, so that it is the one that stays; it must not hold the caller's output open.
    "$WINESERVER" -p >/dev/null 2>&1
    ruvenkal_wine wineboot -i >/dev/null 2>&1
    if [ ! -f "$configured" ]; then
        ruvenkal_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        ruvenkal_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f \
            >/dev/null 2>&1
        # Caption buttons are drawn with Marlett, which Wine finds only among the prefix's fonts.
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || true
        echo "${x86_side:-x64-only}" >"$configured"
        "$WINESERVER" -k
        "$WINESERVER" -p >/dev/null 2>&1
        ruvenkal_wine wineboot >/dev/null 2>&1
    fi
    ruvenkal_crash_at_once
    trap ruvenkal_stop_wine EXIT
}

# A crashing program must end at once with a failing status and Wine's one-line crash message.
# Wine's debugger would open its "Program Error" dialog and wait under Xvfb for a click that never
# comes, and even without the dialog it sometimes ends the program with status 0, which would
# pass a crashed test. Without a debugger, the program ends with the exception's code. Set on
# every start, for both halves of the registry, so that prefixes made before this get it too.
ruvenkal_crash_at_once() {
    local view
    for view in 64 32; do
        ruvenkal_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /d '' /f /reg:$view >/dev/null 2>&1
    done
    ruvenkal_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
}

ruvenkal_stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
}
