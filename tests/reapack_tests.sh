#!/usr/bin/env bash
# A release as ReaPack users get it: scripts/package.sh writes the index for a release address,
# the index is checked, the release is published to that address (a folder, as a file:// URL),
# and installed from it as ReaPack does: read the index, download each source by its URL, check
# its hash, write it into a fresh resource folder's UserPlugins. Each installed DLL must then pass
# the DLL's own checks and attach to the stand-in host, in a program of its own architecture.
#
# What ReaPack shows before anyone installs is checked too: the About pages, loaded into a real
# RichEdit control as ReaPack loads them, and the release notes. A previous index's versions stay
# exactly as published, and a previous index that can't be kept stops the release.
#
#   reapack_tests.sh source-dir version path/to/wine path/to/rtf_load.exe
#
# RUVENKAL_X86_MODE says whether this run's x86 programs run (native or emulated); otherwise the
# x86 DLL is released and installed, but not loaded.
set -euo pipefail
source_dir=$1 version=$2 wine=$3 rtf_load=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Both architectures where both are built (scripts/build.sh builds both), else x64 alone.
arches=()
platforms=()
for a in x86 x64; do
    if [ -f "$source_dir/build/$a/bin/ruvenkal.dll" ]; then
        arches+=("$a")
        platforms+=("$([ "$a" = x86 ] && echo win32 || echo win64)")
    fi
done
[ ${#arches[@]} -gt 0 ] || fail "no DLL is built"

# An address with a character that XML must escape, and a trailing slash to be ignored.
published="$work/rel&ease"
url="file://$published/"
package() {  # output folder, then the release URL or nothing
    RUVENKAL_RELEASE_URL=${2:-} "$source_dir/scripts/package.sh" --no-build --out "$1" \
        "${arches[@]}"
}

package "$work/first" "$url" >/dev/null
python3 "$source_dir/tests/reapack_check.py" check "$work/first" "$url" "$version" \
    "$source_dir/CHANGELOG.md" "${platforms[@]}"
package "$work/second" "$url" >/dev/null
cmp "$work/first/index.xml" "$work/second/index.xml" || fail "the index differs when made again"
echo "ok: the same commit and address give the same index"

# The About pages as ReaPack's About tab shows them: RTF loaded into RichEdit, here Wine's.
mkdir "$work/about"
python3 "$source_dir/tests/reapack_check.py" about-files "$work/first/index.xml" "$work/about"
(cd "$work/about" && "$wine" "$rtf_load" *.rtf) >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; fail "RichEdit could not load the About texts"; }
python3 "$source_dir/tests/reapack_check.py" about-texts "$work/about" "$source_dir/README.md"

# A website link only when there is a website.
RUVENKAL_WEBSITE_URL=https://example.org/ruvenkal package "$work/website" "$url" >/dev/null
RUVENKAL_WEBSITE_URL=https://example.org/ruvenkal python3 "$source_dir/tests/reapack_check.py" \
    check "$work/website" "$url" "$version" "$source_dir/CHANGELOG.md" "${platforms[@]}" >/dev/null
echo "ok: RUVENKAL_WEBSITE_URL adds a website link to both About pages"

# Every published version stays, exactly as published, before the new one.
published_index="$source_dir/tests/fixtures/published-index.xml"
with_previous() {  # output folder, previous index
    RUVENKAL_PREVIOUS_INDEX=$2 package "$1" "$url"
}
with_previous "$work/merged" "$published_index" >/dev/null
python3 "$source_dir/tests/reapack_check.py" check "$work/merged" "$url" "$version" \
    "$source_dir/CHANGELOG.md" "${platforms[@]}" >/dev/null
old_version=$(sed -n '/<version name="1.0.0"/,/^      <\/version>$/p' "$published_index")
[ "$(wc -l <<<"$old_version")" = 7 ] || fail "the fixture's version 1.0.0 was not found whole"
contains_bytes() {  # file, the bytes it must hold
    python3 -c 'import sys; sys.exit(sys.argv[2].encode() not in open(sys.argv[1], "rb").read())' "$1" "$2"
}
contains_bytes "$work/merged/index.xml" "$old_version" ||
    fail "the published version 1.0.0 did not stay exactly as it was"
with_previous "$work/merged-again" "$published_index" >/dev/null
cmp "$work/merged/index.xml" "$work/merged-again/index.xml" || fail "merging again gave other bytes"
echo "ok: the published 1.0.0 stays as it was, before $version, and merging again gives the same bytes"

# A previous index that can't be kept: package.sh stops, and leaves no index.
refused() {  # what, the previous index, what the error must say
    local out="$work/refused-$RANDOM" said
    if said=$(with_previous "$out" "$2" 2>&1); then
        fail "$1: package.sh went on"
    fi
    [ ! -e "$out/index.xml" ] || fail "$1: an index was left in the output"
    grep -q "$3" <<<"$said" || fail "$1: the error does not say '$3': $said"
    echo "ok: $1 stops the release with no index"
}
sed "s/<version name=\"1.0.0\"/<version name=\"$version\"/" "$published_index" >"$work/same.xml"
refused "a version already published" "$work/same.xml" "version $version is already published"
# ReaPack takes 1.4, 1.4.0 and 1.4.0.0 for one version.
for equal in "${version%.0}" "$version.0"; do
    sed "s/<version name=\"1.0.0\"/<version name=\"$equal\"/" "$published_index" >"$work/equal.xml"
    refused "$equal, the same version to ReaPack" "$work/equal.xml" "version $version is already published (as $equal)"
done

# The index's lasting address, for users to import, where the release gives one: on both About
# pages and in the zip's README.
index_url=https://example.org/ruvenkal/index.xml
RUVENKAL_INDEX_URL=$index_url package "$work/indexed" "$url" >/dev/null
[ "$(grep -o "$index_url" "$work/indexed/index.xml" | wc -l)" = 2 ] ||
    fail "the About pages do not both give $index_url"
for arch in "${arches[@]}"; do
    unzip -p "$work/indexed/ruvenkal-$version-windows-$arch.zip" UserPlugins/ruvenkal/README.txt |
        tr -d '\r' | grep -qx "  $index_url" || fail "the $arch zip's README does not give $index_url"
done
! grep -q "$index_url" "$work/first/index.xml" || fail "an address was written without one given"
echo "ok: RUVENKAL_INDEX_URL goes onto the About pages and into the zip's README"

# A website link that ReaPack would drop, or an index address it can't import, stops the release
# before anything is written.
for variable in RUVENKAL_WEBSITE_URL RUVENKAL_INDEX_URL; do
    for address in ftp://example.org/ruvenkal example.org "javascript:alert(1)"; do
        out="$work/address-$RANDOM"
        if said=$(export "$variable=$address" && package "$out" "$url" 2>&1); then
            fail "$variable=$address: package.sh went on"
        fi
        [ ! -e "$out" ] || fail "$variable=$address: something was written to $out"
        grep -q "$variable must start with http:// or https://" <<<"$said" ||
            fail "$variable=$address: the error does not say why: $said"
    done
done
echo "ok: an address that isn't http:// or https:// stops the release before anything is written"
head -c 600 "$published_index" >"$work/cut.xml"
refused "a previous index cut short" "$work/cut.xml" "not well-formed"
sed 's/Ruvenkal.ext/Another.ext/' "$published_index" >"$work/other.xml"
refused "another package's index" "$work/other.xml" "not a ReaPack index"
sed 's/<index version="1"/<index version="2"/' "$published_index" >"$work/v2.xml"
refused "an index of another format version" "$work/v2.xml" "not a ReaPack index"
refused "a previous index that isn't there" "$work/missing.xml" "can't be read"

said=$(package "$work/third")
[ ! -e "$work/third/index.xml" ] || fail "an index was written without RUVENKAL_RELEASE_URL"
grep -q "No ReaPack index" <<<"$said" || fail "a run without an address did not say so: $said"
echo "ok: without RUVENKAL_RELEASE_URL no index is written"

# Published: every file of dist/ at the address. Installed from there into a fresh folder.
cp -r "$work/first" "$published"
python3 "$source_dir/tests/reapack_check.py" install "$published/index.xml" "$work/resource"
# The DLL's own checks (architecture, exports, imports, version) and the attach, on each
# installed copy, which has the packages' bytes (package_tests.sh).
checks=BuiltDll.*:Entry.AttachesInOrderAndNeverCallsGetHZoomLevel:Entry.UnloadCallPutsTheTimeDisplayProcedureBack
for arch in "${arches[@]}"; do
    if [ "$arch" = x86 ] && [ "${RUVENKAL_X86_MODE:-}" != native ] &&
        [ "${RUVENKAL_X86_MODE:-}" != emulated ]; then
        echo "skipped: loading the installed x86 DLL, as this run's x86 programs don't run"
        continue
    fi
    installed="$work/resource/UserPlugins/reaper_ruvenkal-$arch.dll"
    RUVENKAL_DLL=$("$wine" winepath -w "$installed") "$wine" \
        "$source_dir/build/$arch/bin/unit_tests.exe" --gtest_filter="$checks" >"$work/log" 2>&1 ||
        { cat "$work/log" >&2; fail "the installed $arch DLL failed its checks or its attach"; }
    grep -q "PASSED.* 6 tests" "$work/log" || { cat "$work/log" >&2; fail "the $arch checks did not run"; }
    echo "ok: the $arch DLL installed from the index passes the DLL's checks, attaches and registers"
done
