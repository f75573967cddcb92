#!/usr/bin/env bash
# Sets up, builds both DLLs and runs every test of both architectures under Wine in a virtual
# display. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

# Every Wine process of the prefix needs the display, wineboot and wineserver included.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -uo pipefail
    source scripts/wine-env.sh
    ruvenkal_start_wine
    status=0
    for arch in x86 x64; do
        echo "== tests: $arch"
        ctest --preset "$arch" || status=1
    done
    exit $status
'
