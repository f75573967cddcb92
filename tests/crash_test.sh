#!/usr/bin/env bash
# A test program that crashes under Wine must end at once with a non-zero status and Wine's crash
# message, instead of waiting on Wine's crash dialog until ctest's time limit.
#
#   crash_test.sh path/to/wine path/to/crash_on_purpose.exe
#
# RUVENKAL_TIME_SCALE multiplies the time limit, for 32-bit programs under emulation.
set -uo pipefail
wine=$1
program=$2
limit=$((10 * ${RUVENKAL_TIME_SCALE:-1}))

# Wine's debugger ends a crashed program with status 0 about half the time, which would pass a
# crashed test by chance: whatever this run's crash does, the debugger must not be set.
for view in 64 32; do
    debugger=$("$wine" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /reg:$view 2>/dev/null | tr -d '\r' | sed -n 's/^ *Debugger *REG_SZ *//p')
    if [ -n "$debugger" ]; then
        echo "FAIL: Wine's debugger is set in the $view-bit registry: $debugger" >&2
        exit 1
    fi
done

started=$SECONDS
output=$(timeout -k 5 "$limit" "$wine" "$program" 2>&1)
status=$?
echo "$output"
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "FAIL: the crashing program still ran after $limit s: a crash dialog is waiting" >&2
    exit 1
fi
[ "$status" -ne 0 ] || { echo "FAIL: the crashing program exited with status 0" >&2; exit 1; }
grep -qi "unhandled" <<<"$output" || { echo "FAIL: Wine's crash message is missing" >&2; exit 1; }
echo "PASS: crashed with status $status after $((SECONDS - started)) s, with Wine's message"
