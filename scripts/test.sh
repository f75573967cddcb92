#!/usr/bin/env bash
# Sets up, builds both DLLs and runs every test of both architectures under Wine in a virtual
# display. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

export WINEPREFIX="$PWD/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Every Wine process of the prefix needs the display, wineboot and wineserver included, and one
# wineserver kept alive for the run makes each test program start in a fraction of a second.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -uo pipefail
    wineboot -i >/dev/null 2>&1
    wineserver -p
    status=0
    for arch in x86 x64; do
        echo "== tests: $arch"
        ctest --preset "$arch" || status=1
    done
    wineserver -k
    exit $status
'
