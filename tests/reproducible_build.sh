#!/usr/bin/env bash
# Builds each built DLL again from a copy of the sources in another folder, now, and checks that
# it is byte for byte the DLL of this build: no time or path of the build may reach it. Both
# architectures where both are built, side by side.
#
#   reproducible_build.sh source-dir
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/elsewhere/sources"
cp -r "$source_dir/CMakeLists.txt" "$source_dir/cmake" "$source_dir/src" "$work/elsewhere/sources/"

# At a lower priority: the other tests of the run wait on nothing that this builds.
rebuild() {  # architecture
    nice -n 10 cmake -S "$work/elsewhere/sources" -B "$work/other-build-$1" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$work/elsewhere/sources/cmake/mingw-$1.cmake" \
        -DRUVENKAL_BUILD_TESTS=OFF >/dev/null &&
        nice -n 10 cmake --build "$work/other-build-$1" --target ruvenkal >/dev/null
}

arches=()
for arch in x86 x64; do
    [ ! -f "$source_dir/build/$arch/bin/ruvenkal.dll" ] || arches+=("$arch")
done
[ ${#arches[@]} -gt 0 ] || { echo "FAIL: no DLL is built" >&2; exit 1; }
jobs=()
for arch in "${arches[@]}"; do
    rebuild "$arch" &
    jobs+=($!)
done
status=0
for job in "${jobs[@]}"; do
    wait "$job" || status=1
done
[ "$status" = 0 ] || { echo "FAIL: a DLL could not be built again" >&2; exit 1; }

for arch in "${arches[@]}"; do
    built="$source_dir/build/$arch/bin/ruvenkal.dll"
    if ! cmp "$built" "$work/other-build-$arch/bin/ruvenkal.dll"; then
        echo "FAIL: the $arch DLL differs when built in another folder at another time" >&2
        exit 1
    fi
    echo "ok: the $arch DLL is the same when built from another folder ($(stat -c %s "$built") bytes)"
done
