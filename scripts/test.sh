#!/usr/bin/env bash
# Sets up, builds both DLLs and runs every test of both architectures under Wine in a virtual
# display. Exits non-zero on any failure.
#
#   RUVENKAL_X86_MODE=native|emulated|skip  how to run the x86 side (default: probed)
#   RUVENKAL_REQUIRE_X86=1                  a skipped x86 side fails the run
#   RUVENKAL_FUZZ_SECONDS=N                 how long each fuzz target runs (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

source scripts/setup.sh
source scripts/x86-mode.sh
ruvenkal_setup test fuzz $(ruvenkal_x86_packages)  # one install, as the test run fuzzes too
ruvenkal_x86_decide
echo
ruvenkal_x86_prepare
echo "x86 tests: $x86_mode ($x86_why)"

results=$(mktemp -d)
trap 'ruvenkal_x86_restore; rm -rf "$results"' EXIT

# Every Wine process of the prefix needs the display, wineboot and wineserver included.
export x86_mode results
# Longer time limits for the x86 programs alone: x64 never runs emulated.
x86_time_scale=$(ruvenkal_x86_time_scale)
export x86_time_scale
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -uo pipefail
    source scripts/wine-env.sh
    if [ "$x86_mode" = skip ]; then ruvenkal_start_wine; else ruvenkal_start_wine with-x86; fi
    run() {  # architecture, test preset, time scale
        echo "== tests: $1"
        RUVENKAL_TIME_SCALE=$3 ctest --preset "$2" | tee "$results/$1.log"
        echo "${PIPESTATUS[0]}" >"$results/$1.status"
    }
    case "$x86_mode" in
        native) run x86 x86 "$x86_time_scale" ;;
        emulated) run x86 x86-emulated "$x86_time_scale" ;;
        *) ;;
    esac
    run x64 x64 1
' || true

# The text conversions under the sanitizers, natively, briefly; scripts/fuzz.sh runs them longer.
fuzz_status=0
scripts/fuzz.sh "${RUVENKAL_FUZZ_SECONDS:-10}" || fuzz_status=1

# What ran, one line per architecture.
status=0
summary() {  # architecture, mode
    local line
    line=$(grep -E "tests passed|No tests were found" "$results/$1.log" 2>/dev/null | tail -n 1)
    echo "$1: $2, ${line:-no test result}"
    [ "$(cat "$results/$1.status" 2>/dev/null)" = 0 ] || status=1
}
echo
if [ "$x86_mode" = skip ]; then
    echo "x86: skipped, $x86_why"
    if [ "${RUVENKAL_X86_MODE:-}" != skip ]; then
        ruvenkal_x86_instructions | sed 's/^/  /'
    fi
    [ "${RUVENKAL_REQUIRE_X86:-0}" != 1 ] || status=1
else
    summary x86 "$x86_mode"
fi
summary x64 native
if [ "$fuzz_status" = 0 ]; then
    echo "fuzz: passed (parse and format, ${RUVENKAL_FUZZ_SECONDS:-10} s each)"
else
    echo "fuzz: FAILED"
    status=1
fi
exit $status
