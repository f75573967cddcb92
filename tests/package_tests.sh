#!/usr/bin/env bash
# Packages the DLLs of this build, both architectures where both are built, as scripts/package.sh
# does for a release, then opens each package as a program would: exactly the files it must hold,
# the DLL the built one, the package info as the host reads it, and the same bytes when packaged
# again. reapack_tests.sh loads the released DLLs into programs of their architectures.
#
#   package_tests.sh source-dir version
set -euo pipefail
source_dir=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

arches=()
for a in x86 x64; do
    [ ! -f "$source_dir/build/$a/bin/ruvenkal.dll" ] || arches+=("$a")
done
[ ${#arches[@]} -gt 0 ] || fail "no DLL is built"
"$source_dir/scripts/package.sh" --no-build --out "$work/first" "${arches[@]}" >/dev/null

# Unpacks into an empty folder and checks the file list and the DLL.
open_package() {  # package file, expected files (sorted)
    local package=$1 folder
    shift
    folder="$work/open-$(basename "$package")"
    mkdir "$folder"
    (cd "$folder" && unzip -q "$package") || fail "$(basename "$package") does not unzip"
    local files
    files=$(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
    [ "$files" = "$* " ] || fail "$(basename "$package") holds '$files', not '$* '"
    cmp -s "$built" "$folder/$dll" || fail "$(basename "$package"): the DLL is not the built one"
    echo "ok: $(basename "$package") holds $*"
    opened=$folder
}

for arch in "${arches[@]}"; do
    built="$source_dir/build/$arch/bin/ruvenkal.dll"
    dll="UserPlugins/reaper_ruvenkal-$arch.dll"
    # Unzipped into the resource folder: only the DLL lies loose, the rest in a folder of its own.
    open_package "$work/first/ruvenkal-$version-windows-$arch.zip" "$dll" \
        UserPlugins/ruvenkal/LICENSE UserPlugins/ruvenkal/README.txt
    loose=$(cd "$opened" && find . UserPlugins -maxdepth 1 -type f | sed 's|^\./||' |
        grep -vx "$dll" || true)
    [ -z "$loose" ] || fail "the $arch zip leaves files loose: $loose"
    cmp -s "$source_dir/LICENSE" "$opened/UserPlugins/ruvenkal/LICENSE" ||
        fail "the $arch zip's LICENSE is not the project's"

    open_package "$work/first/ruvenkal-$version-$arch.ReaperPkg" "$dll" reaper-package-info.txt
    info=$(grep -v '^#' "$opened/reaper-package-info.txt" | tr '\n' '|')
    [ "$info" = "NAME \"Ruvenkal\"|AUTHOR \"the Ruvenkal authors\"|VERSION \"$version\"|" ] ||
        fail "reaper-package-info.txt says: $info"
    echo "ok: the $arch package info names Ruvenkal $version"

    cmp -s "$built" "$work/first/reaper_ruvenkal-$arch.dll" ||
        fail "the bare $arch DLL is not the built one"
    grep -q " reaper_ruvenkal-$arch.dll\$" "$work/first/SHA256SUMS" ||
        fail "SHA256SUMS does not list the bare $arch DLL"
    echo "ok: the bare reaper_ruvenkal-$arch.dll is the built one, listed in SHA256SUMS"
done
(cd "$work/first" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
# The translators' template, as the build wrote it.
template="ruvenkal-$version-template.ReaperLangPack"
cmp -s "$source_dir/build/x64/bin/ruvenkal.ReaperLangPack" "$work/first/$template" ||
    fail "$template is not the build's template"
grep -q " $template\$" "$work/first/SHA256SUMS" || fail "SHA256SUMS does not list $template"
echo "ok: $template is the build's template, listed in SHA256SUMS"

# Which commit and which toolchain made the DLL, for whoever rebuilds it and gets other bytes.
buildinfo="$work/first/BUILDINFO.txt"
commit=$(git -C "$source_dir" rev-parse HEAD)
grep -qE "^commit $commit(, with uncommitted changes)?\$" "$buildinfo" ||
    fail "BUILDINFO.txt does not name the commit $commit: $(cat "$buildinfo")"
for triplet in i686 x86-64; do
    for package in "g++-mingw-w64-$triplet-posix" "binutils-mingw-w64-$triplet" cmake; do
        installed=$(dpkg-query -W -f='${Version}' "$package")
        grep -qx "$package $installed" "$buildinfo" || fail "BUILDINFO.txt lacks $package $installed"
    done
done
grep -q " BUILDINFO.txt\$" "$work/first/SHA256SUMS" || fail "SHA256SUMS does not list BUILDINFO.txt"
echo "ok: BUILDINFO.txt names the commit and the toolchain's versions, and is in SHA256SUMS"
sleep 1  # another second on the clock
"$source_dir/scripts/package.sh" --no-build --out "$work/second" "${arches[@]}" >/dev/null
cmp "$work/first/SHA256SUMS" "$work/second/SHA256SUMS" || fail "packaging again gave other bytes"
cmp "$buildinfo" "$work/second/BUILDINFO.txt" || fail "packaging again gave another BUILDINFO.txt"
echo "ok: packaging again gives the same bytes"
