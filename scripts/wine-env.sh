#!/usr/bin/env bash
# The Wine set-up shared by the scripts that run the cross-built programs: one prefix inside the
# build tree. Source it, then call ruvenkal_start_wine inside an X display (xvfb-run).

export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or HTML engine to look for

# Sets up the prefix if needed and keeps its wineserver running until the calling shell exits, so
# that each program starts in a fraction of a second. Windows open in a virtual desktop: they get
# caption bars, and Wine doesn't wait for a window manager (there is none under Xvfb) each time a
# window is hidden.
ruvenkal_start_wine() {
    mkdir -p "$WINEPREFIX"
    # One left running from another display would fail to create windows on this one.
    wineserver -k 2>/dev/null || true
    # Started first, so that it is the one that stays; it must not hold the caller's output open.
    wineserver -p >/dev/null 2>&1
    wineboot -i >/dev/null 2>&1
    local configured="$WINEPREFIX/.ruvenkal-configured"
    if [ ! -f "$configured" ]; then
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
        # Caption buttons are drawn with Marlett, which Wine finds only among the prefix's fonts.
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || true
        touch "$configured"
        wineserver -k
        wineserver -p >/dev/null 2>&1
        wineboot >/dev/null 2>&1
    fi
    trap ruvenkal_stop_wine EXIT
}

ruvenkal_stop_wine() {
    wineserver -k 2>/dev/null || true
}
