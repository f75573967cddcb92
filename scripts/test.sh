#!/usr/bin/env bash
# Sets up, builds both DLLs and runs every test of both architectures under Wine in virtual
# displays. Exits non-zero on any failure.
#
#   RUVENKAL_X86_MODE=native|emulated|skip  how to run the x86 side (default: probed)
#   RUVENKAL_REQUIRE_X86=1                  a skipped x86 side fails the run
#   RUVENKAL_FUZZ_SECONDS=N                 how long each fuzz target runs (default 10)
#
# The x86 tests run beside the x64 tests and the fuzzers, each architecture in a display and a
# Wine prefix of its own: the real input of one end-to-end test can't reach the other's windows.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

asked_x86_mode=${RUVENKAL_X86_MODE:-}
source scripts/setup.sh
source scripts/x86-mode.sh
ruvenkal_setup build test fuzz $(ruvenkal_x86_packages)  # one install for the whole run
ruvenkal_x86_decide
echo
ruvenkal_x86_prepare
echo "x86 tests: $x86_mode ($x86_why)"

results=$(mktemp -d)
x86_job=
fuzz_job=
prefix_job=
cleanup() {
    [ -z "$prefix_job" ] || kill "$prefix_job" 2>/dev/null || true
    [ -z "$x86_job" ] || kill "$x86_job" 2>/dev/null || true
    [ -z "$fuzz_job" ] || kill "$fuzz_job" 2>/dev/null || true
    ruvenkal_x86_restore
    rm -rf "$results"
}
trap cleanup EXIT

# The prefixes: the x86 tests' own, and a copy for the x64 tests, so that the two runs share no
# wineserver and no desktop.
export x86_prefix="$PWD/build/wineprefix"
export x64_prefix="$PWD/build/wineprefix-x64"
# The release tests load each DLL into a program of its own architecture where x86 programs run.
export RUVENKAL_X86_MODE=$x86_mode
# Longer time limits for the x86 programs alone: x64 never runs emulated.
x86_time_scale=$(ruvenkal_x86_time_scale)
export x86_mode x86_time_scale results

# The preset's tests, two at a time where they share nothing; the log goes to the screen too with
# "shown".
run_tests() {  # architecture, test preset, time scale, [shown]
    echo "== tests: $1"
    if [ "${4:-}" = shown ]; then
        RUVENKAL_TIME_SCALE=$3 ctest --preset "$2" -j 2 2>&1 | tee "$results/$1.log"
        echo "${PIPESTATUS[0]}" >"$results/$1.status"
    else
        RUVENKAL_TIME_SCALE=$3 ctest --preset "$2" -j 2 >"$results/$1.log" 2>&1
        echo "$?" >"$results/$1.status"
    fi
}

# Every Wine process of a prefix needs the display, wineboot and wineserver included.
# The x86 side looks for a free display from :99 on, the x64 side from :199 on, so that two
# starting at once can't pick the same one.
in_display() {  # first display number to try, shell code; the code may call run_tests
    xvfb-run -a -n "$1" -s "-screen 0 1280x1024x24" bash -c "set -uo pipefail
$(declare -f run_tests)
$2"
}

# When each step ended, in seconds from the start, for the closing line.
mark() {  # step
    echo "$1 $((SECONDS - started))" >>"$results/times"
}
# Runs a command and writes its exit status to a file, whatever the status, for await.
recorded() {  # status file, command...
    local file=$1 status=0
    shift
    "$@" || status=$?
    echo "$status" >"$file"
}
# Waits until the step running as `job` has written its status file, and fails with the step's
# log if it failed, or if the job ended without writing it.
await() {  # status file, log, what failed, job
    until [ -f "$1" ] || ! kill -0 "$4" 2>/dev/null; do sleep 1; done
    [ "$(cat "$1" 2>/dev/null)" = 0 ] || { cat "$2" >&2; echo "$3" >&2; return 1; }
}

# Setting the prefix up needs no build, and where x86 is emulated it takes minutes: it runs
# while the DLLs build. It is copied afterwards, so its wineserver must have written everything
# and gone.
prefix_side=$([ "$x86_mode" = skip ] || echo with-x86)
export prefix_side
(
    recorded "$results/prefix.status" in_display 99 'export WINEPREFIX=$x86_prefix
        source scripts/wine-env.sh
        ruvenkal_start_wine $prefix_side && "$WINESERVER" -k && "$WINESERVER" -w' \
        >"$results/prefix.log" 2>&1
    mark prefix
) &
prefix_job=$!

# The builds run at a lower priority than the prefix's set-up and the x86 tests, which take the
# longest: four compilers at once would otherwise leave them a fraction of a core.
if [ "$x86_mode" != skip ]; then
    nice -n 5 scripts/build.sh x86
    mark "x86 build"
    # The x86 tests start as soon as the prefix is ready, while x64 still builds.
    preset=$([ "$x86_mode" = emulated ] && echo x86-emulated || echo x86)
    export preset
    (
        await "$results/prefix.status" "$results/prefix.log" "the Wine prefix could not be set up" \
            "$prefix_job" || exit 1
        rm -rf "$x64_prefix"
        recorded "$results/copy.status" cp -a "$x86_prefix" "$x64_prefix" >"$results/copy.log" 2>&1
        in_display 99 'export WINEPREFIX=$x86_prefix; source scripts/wine-env.sh
            ruvenkal_start_wine with-x86 && run_tests x86 $preset $x86_time_scale' \
            >"$results/x86.out" 2>&1
        mark "x86 tests"
    ) &
    x86_job=$!
fi

nice -n 10 scripts/build.sh x64
mark "x64 build"

# The text conversions under the sanitizers, natively, briefly, beside the x64 tests;
# scripts/fuzz.sh runs them longer.
(
    recorded "$results/fuzz.status" scripts/fuzz.sh "${RUVENKAL_FUZZ_SECONDS:-10}" \
        >"$results/fuzz.log" 2>&1
    mark fuzz
) &
fuzz_job=$!
await "$results/prefix.status" "$results/prefix.log" "the Wine prefix could not be set up" \
    "$prefix_job"
if [ "$x86_mode" = skip ]; then
    x64_prefix=$x86_prefix
else
    await "$results/copy.status" "$results/copy.log" "the Wine prefix could not be copied" "$x86_job"
fi
in_display 199 'export WINEPREFIX=$x64_prefix; source scripts/wine-env.sh
    ruvenkal_start_wine $prefix_side && run_tests x64 x64 1 shown' || true
mark "x64 tests"

wait "$fuzz_job" || true
fuzz_job=
cat "$results/fuzz.log"
fuzz_status=$(cat "$results/fuzz.status" 2>/dev/null || echo 1)

if [ -n "$x86_job" ]; then
    echo "== waiting for the x86 tests"
    wait "$x86_job" || true
    x86_job=
    cat "$results/x86.log" 2>/dev/null || cat "$results/x86.out"
fi

# What ran, one line per architecture.
status=0
summary() {  # architecture, mode
    local line
    line=$(grep -E "tests passed|No tests were found" "$results/$1.log" 2>/dev/null | tail -n 1 ||
        true)
    echo "$1: $2, ${line:-no test result}"
    [ "$(cat "$results/$1.status" 2>/dev/null)" = 0 ] || status=1
}
echo
if [ "$x86_mode" = skip ]; then
    echo "x86: skipped, $x86_why"
    if [ "$asked_x86_mode" != skip ]; then
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
# Where the time went: each step's end, in seconds from the start.
steps=$(awk '{ t = $NF; $NF = ""; printf "%d %s%d s\n", t, $0, t }' "$results/times" 2>/dev/null |
    sort -n | cut -d' ' -f2- | paste -sd, | sed 's/,/, /g')
echo "in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s; steps ended at: $steps"
exit $status
