#!/usr/bin/env bash
# Builds the DLL again from a copy of the sources in another folder, now, and checks that it is
# byte for byte the DLL of this build: no time or path of the build may reach it.
#
#   reproducible_build.sh source-dir x86|x64 path/to/built/ruvenkal.dll
set -euo pipefail
source_dir=$1
arch=$2
built=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/elsewhere/sources"
cp -r "$source_dir/CMakeLists.txt" "$source_dir/cmake" "$source_dir/src" "$work/elsewhere/sources/"
cmake -S "$work/elsewhere/sources" -B "$work/other-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$work/elsewhere/sources/cmake/mingw-$arch.cmake" \
    -DRUVENKAL_BUILD_TESTS=OFF >/dev/null
cmake --build "$work/other-build" --target ruvenkal >/dev/null

if ! cmp "$built" "$work/other-build/bin/ruvenkal.dll"; then
    echo "FAIL: the $arch DLL differs when built in another folder at another time" >&2
    exit 1
fi
echo "ok: the $arch DLL is the same when built from another folder ($(stat -c %s "$built") bytes)"
