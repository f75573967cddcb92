#!/usr/bin/env bash
# How scripts/x86-mode.sh decides and sets up the x86 side, with the system faked: stub commands
# on PATH for mount, umount, id and dpkg-query, a stub 32-bit loader for the probe, and a folder
# in place of binfmt_misc. Emulation that can't be set up must be undone and fall back to skip,
# unless x86 is required.
#
#   x86_mode_tests.sh source-dir
set -uo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# One stub command: logs its name and arguments, then runs the given shell code.
stub() {  # name, code
    printf '#!/usr/bin/env bash\necho "%s $*" >>"$STUB_LOG"\n%s\n' "$1" "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}

# A mount that succeeds makes the folder look mounted; with MOUNT_LEAVES=read-only, its register
# can't be written (a folder stands in for it, which even root can't write to).
setup_stubs() {
    mkdir -p "$work/bin"
    stub mount '[ "$MOUNT" = ok ] || exit 32
        if [ "$MOUNT_LEAVES" = read-only ]; then mkdir "$4/register"; else : >"$4/register"; fi
        echo enabled >"$4/status"'
    stub umount 'rm -rf "$1/register" "$1/status"'
    stub id 'echo "$UID_IS"'
    stub dpkg-query 'echo "install ok installed"'
    stub loader '[ "$RUNS_32BIT" = yes ]'
}

# name | runs 32-bit | uid | binfmt_misc at the start | mount | extra environment |
# expected: the mode, or "stops" | a line says why emulation can't be set up
cases=(
    "native|yes|0|unmounted|ok||native|no"
    "not root, can't run 32-bit|no|1000|unmounted|ok||skip|no"
    "emulated|no|0|unmounted|ok||emulated|no"
    "emulated, already mounted|no|0|mounted|fail||emulated|no"
    "mount refused|no|0|unmounted|fail||skip|yes"
    "mount refused, x86 required|no|0|unmounted|fail|RUVENKAL_REQUIRE_X86=1|stops|yes"
    "mount refused, emulation forced|no|0|unmounted|fail|RUVENKAL_X86_MODE=emulated|stops|yes"
    "registration refused|no|0|unmounted|read-only||skip|yes"
    "handler can't be switched on|no|0|handler-stuck|fail||skip|yes"
)

run_case() {  # the fields of one case
    local name=$1 runs=$2 uid=$3 binfmt=$4 mount=$5 extra=$6 expected=$7 says_why=$8
    local fake="$work/binfmt" out="$work/out" problem=""
    rm -rf "$fake" "$work/log"
    mkdir -p "$fake"
    if [ "$binfmt" != unmounted ]; then
        : >"$fake/register"
        echo enabled >"$fake/status"
    fi
    [ "$binfmt" != handler-stuck ] || mkdir "$fake/qemu-i386"
    (
        cd "$source_dir"
        export PATH="$work/bin:$PATH" STUB_LOG="$work/log" UID_IS=$uid RUNS_32BIT=$runs
        export MOUNT=$([ "$mount" = fail ] && echo fail || echo ok)
        export MOUNT_LEAVES=$mount
        unset RUVENKAL_X86_MODE RUVENKAL_REQUIRE_X86
        [ -z "$extra" ] || export "${extra?}"
        source scripts/x86-mode.sh
        binfmt_dir=$fake qemu_handler="$fake/qemu-i386" x86_loader="$work/bin/loader"
        ruvenkal_x86_decide || exit 2
        ruvenkal_x86_prepare || { trap - EXIT; echo "mode stops"; exit 0; }
        # A fall-back must have undone its steps itself: nothing is left to the exit.
        trap - EXIT
        echo "mode $x86_mode"
        if [ "$x86_mode" = emulated ]; then
            ! grep -q ':qemu-i386:' "$fake/register" 2>/dev/null || echo "registered"
            ruvenkal_x86_restore
        fi
    ) >"$out" 2>&1 || problem="status $?"

    grep -qx "mode $expected" "$out" || problem="$problem; $(grep '^mode' "$out"), not $expected"
    if [ "$says_why" = yes ]; then
        grep -q "emulation can't be set up here" "$out" || problem="$problem; no line says why"
    fi
    # Whatever the run set up is taken down when it ends, or at once when it fails.
    if [ "$expected" = emulated ]; then
        grep -qx registered "$out" || problem="$problem; QEMU was not registered"
        grep -qx -- -1 "$fake/qemu-i386" 2>/dev/null || problem="$problem; QEMU stayed registered"
    fi
    if [ "$binfmt" = unmounted ] && [ -e "$fake/register" ]; then
        problem="$problem; binfmt_misc stayed mounted"
    fi
    if [ -n "$problem" ]; then
        echo "FAIL: $name: ${problem#; }"
        sed 's/^/    /' "$out"
        failures=$((failures + 1))
    else
        echo "ok: $name: $(grep '^mode' "$out")"
    fi
}

setup_stubs
for row in "${cases[@]}"; do
    IFS='|' read -r -a fields <<<"$row"
    run_case "${fields[@]}"
done
[ "$failures" = 0 ] || exit 1
echo "PASS"
