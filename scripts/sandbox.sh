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
source scripts/wine-env.sh
ruvenkal_start_wine
wine "build/$arch/bin/sandbox.exe"
