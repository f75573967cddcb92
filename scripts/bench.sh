#!/usr/bin/env bash
# Builds and runs the per-message benchmark for x86 and x64 under Wine in a virtual display.
# The x86 side runs as scripts/test.sh would run it (RUVENKAL_X86_MODE applies here too).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
for arch in x86 x64; do
    cmake --build --preset "$arch" --target ruvenkal_bench >/dev/null
done

source scripts/setup.sh
source scripts/x86-mode.sh
ruvenkal_setup test $(ruvenkal_x86_packages)
ruvenkal_x86_decide
ruvenkal_x86_prepare
export x86_mode x86_why

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    source scripts/wine-env.sh
    case "$x86_mode" in
        skip)
            ruvenkal_start_wine
            echo "x86: skipped, $x86_why"
            ;;
        *)
            ruvenkal_start_wine with-x86
            if [ "$x86_mode" = emulated ]; then
                echo "x86: EMULATED by QEMU: these x86 figures measure the emulator, not the hook."
            fi
            ruvenkal_wine build/x86/bin/ruvenkal_bench.exe | tr -d "\r"
            ;;
    esac
    ruvenkal_wine build/x64/bin/ruvenkal_bench.exe | tr -d "\r"
'
