#!/usr/bin/env bash
# A release as ReaPack users get it: scripts/package.sh writes the index for a release address,
# the index is checked, the release is published to that address (a folder, as a file:// URL),
# and installed from it as ReaPack does: read the index, download each source by its URL, check
# its hash, write it into a fresh resource folder's UserPlugins. The installed DLL of this
# architecture must then attach to the stand-in host and register its actions.
#
#   reapack_tests.sh source-dir x86|x64 version path/to/wine path/to/entry_tests.exe
set -euo pipefail
source_dir=$1 arch=$2 version=$3 wine=$4 entry_tests=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Both architectures where both are built (scripts/build.sh builds both), else this one alone.
arches=()
platforms=()
for a in x86 x64; do
    if [ "$a" = "$arch" ] || [ -f "$source_dir/build/$a/bin/ruvenkal.dll" ]; then
        arches+=("$a")
        platforms+=("$([ "$a" = x86 ] && echo win32 || echo win64)")
    fi
done

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

said=$(package "$work/third")
[ ! -e "$work/third/index.xml" ] || fail "an index was written without RUVENKAL_RELEASE_URL"
grep -q "No ReaPack index" <<<"$said" || fail "a run without an address did not say so: $said"
echo "ok: without RUVENKAL_RELEASE_URL no index is written"

# Published: every file of dist/ at the address. Installed from there into a fresh folder.
cp -r "$work/first" "$published"
python3 "$source_dir/tests/reapack_check.py" install "$published/index.xml" "$work/resource"
installed="$work/resource/UserPlugins/reaper_ruvenkal-$arch.dll"
RUVENKAL_DLL=$("$wine" winepath -w "$installed") "$wine" "$entry_tests" \
    --gtest_filter=Entry.AttachesInOrderAndNeverCallsGetHZoomLevel:Entry.UnloadCallPutsTheTimeDisplayProcedureBack \
    >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; fail "the installed $arch DLL did not attach and register"; }
grep -q "PASSED.* 2 tests" "$work/log" || { cat "$work/log" >&2; fail "the attach tests did not run"; }
echo "ok: the $arch DLL installed from the index attaches and registers its actions"
