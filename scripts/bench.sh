#!/usr/bin/env bash
# Builds and runs the per-message benchmark for x86 and x64 under Wine in a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    source scripts/wine-env.sh
    ruvenkal_start_wine
    for arch in x86 x64; do
        wine "build/$arch/bin/ruvenkal_bench.exe" | tr -d "\r"
    done
'
