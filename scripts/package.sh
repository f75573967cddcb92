#!/usr/bin/env bash
# Builds both DLLs and writes the installable packages to dist/:
#   ruvenkal-<version>-windows-<arch>.zip  UserPlugins/reaper_ruvenkal-<arch>.dll, and LICENSE and
#                                          README.txt in UserPlugins/ruvenkal/
#   ruvenkal-<version>-<arch>.ReaperPkg    reaper-package-info.txt and the same DLL
#   reaper_ruvenkal-<arch>.dll             the same DLL alone, as ReaPack downloads it
#   BUILDINFO.txt                          the commit and the toolchain's package versions
#   zoom-drag.gif                          the moving picture, which the index links to
#   ruvenkal-<version>-template.ReaperLangPack  every text, for translators
#   SHA256SUMS
#   index.xml                              a ReaPack index of the DLLs, with RUVENKAL_RELEASE_URL
# The same commit gives the same bytes, wherever and whenever it is packaged.
#
#   RUVENKAL_RELEASE_URL=<where dist/ is published> scripts/package.sh [--no-build] [--out DIR] [x86] [x64]
#
#   RUVENKAL_PREVIOUS_INDEX=FILE   the published index.xml: its versions stay in the new one
#   RUVENKAL_WEBSITE_URL=URL       a website link on the index's About page
#   RUVENKAL_INDEX_URL=URL         the index's lasting address, for users to import: written into
#                                  the zip's README and the About page
set -euo pipefail
cd "$(dirname "$0")/.."
build=1
out=dist
arches=()
while [ $# -gt 0 ]; do
    case "$1" in
        --no-build) build=0 ;;
        --out) out=$2; shift ;;
        x86 | x64) arches+=("$1") ;;
        *) echo "usage: scripts/package.sh [--no-build] [--out DIR] [x86] [x64]" >&2; exit 2 ;;
    esac
    shift
done
[ ${#arches[@]} -gt 0 ] || arches=(x86 x64)
# ReaPack silently drops links of any other kind, and imports repositories only from such
# addresses: say so before anything is written.
for variable in RUVENKAL_WEBSITE_URL RUVENKAL_INDEX_URL; do
    case "${!variable:-}" in
        "" | http://* | https://*) ;;
        *) echo "$variable must start with http:// or https://: ${!variable}" >&2
           exit 2 ;;
    esac
done
if [ "$build" = 1 ]; then
    scripts/build.sh >/dev/null
fi
source scripts/setup.sh
ruvenkal_setup package

version=$(sed -n 's/^project(Ruvenkal VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# Every file in the packages gets the last commit's time, and the zip tool reads it in UTC.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)}
export TZ=UTC

# ReaPack's names for the architectures.
platform_of() { [ "$1" = x86 ] && echo win32 || echo win64; }
sources=()

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# zip, name, files relative to the current folder, in a fixed order with fixed times and modes.
make_zip() {
    local name=$1
    shift
    touch -d "@$epoch" "$@"
    chmod 644 "$@"
    rm -f "$out/$name"
    zip -q -X -D "$out/$name" "$@"
}

for arch in "${arches[@]}"; do
    dll="reaper_ruvenkal-$arch.dll"
    rm -rf "${stage:?}/$arch"
    # Unzipped into the host's resource folder: nothing but the DLL lands loose there or in
    # UserPlugins, where the host looks for its own files and for modules.
    docs=UserPlugins/ruvenkal
    mkdir -p "$stage/$arch/$docs"
    cp "build/$arch/bin/ruvenkal.dll" "$stage/$arch/UserPlugins/$dll"
    cp LICENSE "$stage/$arch/$docs/LICENSE"
    {
        cat packaging/README.txt
        if [ -n "${RUVENKAL_INDEX_URL:-}" ]; then
            printf '\nUpdates\n-------\nTo install and update with ReaPack, import this repository\n'
            printf 'address (Extensions > ReaPack > Import repositories...):\n  %s\n' \
                "$RUVENKAL_INDEX_URL"
        fi
    } | sed 's/$/\r/' >"$stage/$arch/$docs/README.txt"
    printf '# Ruvenkal for the %s host\nNAME "Ruvenkal"\nAUTHOR "the Ruvenkal authors"\nVERSION "%s"\n' \
        "$arch" "$version" >"$stage/$arch/reaper-package-info.txt"
    (
        cd "$stage/$arch"
        make_zip "ruvenkal-$version-windows-$arch.zip" "$docs/LICENSE" "$docs/README.txt" \
            "UserPlugins/$dll"
        make_zip "ruvenkal-$version-$arch.ReaperPkg" reaper-package-info.txt "UserPlugins/$dll"
    )
    cp "$stage/$arch/UserPlugins/$dll" "$out/$dll"
    sources+=("$(platform_of "$arch")=$out/$dll")
done

# The same sources give the same bytes only with the same toolchain: these packages' versions
# change the DLLs' bytes, and Debian's point releases update them.
toolchain=(binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 cmake gcc-mingw-w64-base
           g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
           gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix-runtime
           gcc-mingw-w64-x86-64-posix-runtime mingw-w64-common mingw-w64-i686-dev
           mingw-w64-x86-64-dev)
{
    echo "Ruvenkal $version"
    commit=$(git rev-parse HEAD 2>/dev/null || echo unknown)
    if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
        commit="$commit, with uncommitted changes"
    fi
    echo "commit $commit"
    echo "built with these Debian packages (dpkg-query -W):"
    for package in "${toolchain[@]}"; do
        dpkg-query -W -f='${Package} ${Version}\n' "$package" 2>/dev/null ||
            echo "$package (not installed)"
    done
} >"$out/BUILDINFO.txt"

cp docs/images/zoom-drag.gif "$out/zoom-drag.gif"
# The translators' template, the same from either build.
template="ruvenkal-$version-template.ReaperLangPack"
cp "build/${arches[0]}/bin/ruvenkal.ReaperLangPack" "$out/$template"

# The index is left out of the sums: they stay the same whatever address the release has.
(cd "$out" && sha256sum -- *.zip *.ReaperPkg reaper_ruvenkal-*.dll zoom-drag.gif BUILDINFO.txt \
    "$template" >SHA256SUMS)
rm -f "$out/index.xml"
if [ -n "${RUVENKAL_RELEASE_URL:-}" ]; then
    python3 scripts/reapack_index.py --url "$RUVENKAL_RELEASE_URL" --version "$version" \
        --epoch "$epoch" --changelog CHANGELOG.md --readme README.md --out "$out/index.xml" \
        --website "${RUVENKAL_WEBSITE_URL:-}" --index-url "${RUVENKAL_INDEX_URL:-}" \
        --previous "${RUVENKAL_PREVIOUS_INDEX:-}" \
        "${sources[@]}"
else
    echo "No ReaPack index: set RUVENKAL_RELEASE_URL to where dist/ will be published."
fi
echo "Packages in $out:"
sed 's/^/  /' "$out/SHA256SUMS"
