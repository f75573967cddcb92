#!/usr/bin/env bash
# Builds the text conversions natively with clang under libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each fuzz target for a while from the seed corpus in
# fuzz/corpus/. New inputs it finds stay in build/fuzz/corpus/, outside the repository.
#   scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
source scripts/setup.sh
ruvenkal_setup fuzz

cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug \
    >/dev/null
cmake --build build/fuzz

for target in parse format; do
    found="build/fuzz/corpus/$target"
    mkdir -p "$found"
    echo "== fuzz: $target, ${seconds} s"
    log="build/fuzz/$target.log"
    # The first directory takes what the run finds; the seeds are only read.
    if ! "build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build/fuzz/$target-" "$found" "fuzz/corpus/$target" >"$log" 2>&1; then
        grep -vE "^#[0-9]+" "$log" | tail -n 40 >&2
        echo "fuzz: $target failed; the input is in build/fuzz/$target-*" >&2
        exit 1
    fi
    grep -aE "^Done|^stat::(number_of_executed_units|new_units_added)" "$log"
done
