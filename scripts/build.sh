#!/usr/bin/env bash
# Installs what building needs, if missing, then builds ruvenkal.dll for the 32-bit and the
# 64-bit host, with the tests and the sandbox, and the template for translators.
#
#   scripts/build.sh [x86] [x64]   only these architectures (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
ruvenkal_setup build

arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(x86 x64)
for arch in "${arches[@]}"; do
    case "$arch" in
        x86 | x64) ;;
        *) echo "usage: scripts/build.sh [x86] [x64]" >&2; exit 2 ;;
    esac
    cmake --preset "$arch" >/dev/null
    cmake --build --preset "$arch"
done

echo
echo "Built:"
for arch in "${arches[@]}"; do
    dll="build/$arch/bin/ruvenkal.dll"
    echo "  $arch: $dll ($(stat -c %s "$dll") bytes)"
    # The translators' template is the same from either build.
    cp "build/$arch/bin/ruvenkal.ReaperLangPack" build/ruvenkal.ReaperLangPack
done
echo "  the translators' template: build/ruvenkal.ReaperLangPack"
