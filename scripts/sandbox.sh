#!/usr/bin/env bash
# Builds the sandbox and runs it under Wine on your display: try Ruvenkal without REAPER.
#   scripts/sandbox.sh [x86|x64]
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:-x64}
if [ -z "${DISPLAY:-}" ]; then
    echo "sandbox.sh needs an X display (DISPLAY is not set)." >&2
    exit 1
fi
scripts/build.sh >/dev/null
source scripts/setup.sh
source scripts/wine-env.sh
source scripts/x86-mode.sh
x86_side=
if [ "$arch" = x86 ]; then
    ruvenkal_setup test $(ruvenkal_x86_packages)
    ruvenkal_x86_decide
    ruvenkal_x86_prepare
    if [ "$x86_mode" = skip ]; then
        echo "The x86 sandbox can't run here: $x86_why." >&2
        ruvenkal_x86_instructions >&2
        exit 1
    fi
    x86_side=with-x86
else
    ruvenkal_setup test
fi
ruvenkal_start_wine $x86_side
trap 'ruvenkal_stop_wine; ruvenkal_x86_restore' EXIT
ruvenkal_wine "build/$arch/bin/sandbox.exe"
