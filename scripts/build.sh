#!/usr/bin/env bash
# Installs what building needs, if missing, then builds ruvenkal.dll for the 32-bit and the
# 64-bit host, with the tests and the sandbox, and the template for translators.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
ruvenkal_setup build

for arch in x86 x64; do
    cmake --preset "$arch" >/dev/null
    cmake --build --preset "$arch"
done

# The translators' template is the same for both.
cp build/x64/bin/ruvenkal.ReaperLangPack build/ruvenkal.ReaperLangPack

echo
echo "Built:"
for arch in x86 x64; do
    dll="build/$arch/bin/ruvenkal.dll"
    echo "  $arch: $dll ($(stat -c %s "$dll") bytes)"
done
echo "  the translators' template: build/ruvenkal.ReaperLangPack"
