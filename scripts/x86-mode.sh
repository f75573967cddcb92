#!/usr/bin/env bash
# How this machine runs the 32-bit (x86) programs: natively, under QEMU's user-mode emulation, or
# not at all. Sourced by the scripts that run x86 programs.
#
#   RUVENKAL_X86_MODE=native|emulated|skip  forces a mode instead of probing for one.
#
# ruvenkal_x86_decide sets x86_mode and x86_why; ruvenkal_x86_prepare then makes that mode work
# for the rest of the calling script, and puts back what it changed when the script exits.

binfmt_dir=/proc/sys/fs/binfmt_misc
qemu_handler="$binfmt_dir/qemu-i386"
# The 32-bit dynamic loader comes with wine32:i386. A kernel without 32-bit support refuses it
# with "Exec format error".
x86_loader=/lib/ld-linux.so.2
# i386 ELF executables, as the kernel reads the magic and the mask.
qemu_registration=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:FP'

x86_mode=
x86_why=
x86_undo=()

ruvenkal_qemu_handler_active() {
    [ -e "$qemu_handler" ] && head -n 1 "$qemu_handler" | grep -qx enabled &&
        head -n 1 "$binfmt_dir/status" 2>/dev/null | grep -qx enabled
}

ruvenkal_runs_32bit() {
    "$x86_loader" --version >/dev/null 2>&1
}

# The packages the x86 side needs, unless it is skipped on purpose: installed before the probe,
# which runs Wine's 32-bit loader.
ruvenkal_x86_packages() {
    [ "${RUVENKAL_X86_MODE:-}" = skip ] || echo wine32:i386
}

ruvenkal_x86_decide() {
    case "${RUVENKAL_X86_MODE:-}" in
        native | emulated | skip)
            x86_mode=$RUVENKAL_X86_MODE
            x86_why="forced by RUVENKAL_X86_MODE"
            return
            ;;
        "") ;;
        *)
            echo "RUVENKAL_X86_MODE must be native, emulated or skip, not '$RUVENKAL_X86_MODE'" >&2
            return 1
            ;;
    esac
    if ruvenkal_qemu_handler_active; then
        x86_mode=emulated
        x86_why="QEMU is already registered for 32-bit programs on this machine"
    elif ruvenkal_runs_32bit; then
        x86_mode=native
        x86_why="this machine runs 32-bit programs"
    elif [ "$(id -u)" -eq 0 ]; then
        x86_mode=emulated
        x86_why="this machine can't run 32-bit programs; QEMU emulates them for this run"
    else
        x86_mode=skip
        x86_why="this machine can't run 32-bit programs, and emulating them with QEMU needs root"
    fi
}

# What to run as root so that the x86 programs run here.
ruvenkal_x86_instructions() {
    cat <<EOF
To run the x86 tests too, run scripts/test.sh as root: it sets up QEMU's emulation for the run
and removes it afterwards. Or set the emulation up once yourself, as root:
  apt-get install -y --no-install-recommends qemu-user-static
  mountpoint -q $binfmt_dir || mount -t binfmt_misc binfmt_misc $binfmt_dir
  printf '%s' '$qemu_registration' > $binfmt_dir/register
and remove it again with:
  echo -1 > $qemu_handler
EOF
}

ruvenkal_x86_restore() {
    local step
    for step in "${x86_undo[@]}"; do
        eval "$step" || true
    done
    x86_undo=()
}

# Makes the chosen mode work. Emulation that can't be set up is undone and falls back to skip,
# with one line saying why; a run that requires x86 (RUVENKAL_REQUIRE_X86=1 or
# RUVENKAL_X86_MODE=emulated) stops there instead, with a non-zero status.
ruvenkal_x86_prepare() {
    trap ruvenkal_x86_restore EXIT
    case "$x86_mode" in
        emulated)
            ruvenkal_x86_emulate && return 0
            ruvenkal_x86_restore
            local line="x86: QEMU's emulation can't be set up here: $x86_why. It needs root with"
            line="$line a writable binfmt_misc (a container started with --privileged), or QEMU"
            line="$line registered for 32-bit programs beforehand."
            if [ "${RUVENKAL_REQUIRE_X86:-0}" = 1 ] || [ "${RUVENKAL_X86_MODE:-}" = emulated ]; then
                echo "$line" >&2
                return 1
            fi
            echo "$line Skipping the x86 tests."
            x86_mode=skip
            x86_why="QEMU's emulation can't be set up here: $x86_why"
            ;;
        native) ruvenkal_x86_unemulate ;;
        *) ;;
    esac
}

# Registers QEMU for 32-bit programs, each step with its undo. On failure, x86_why says which
# step failed and the steps done so far are left for ruvenkal_x86_restore.
ruvenkal_x86_emulate() {
    ruvenkal_qemu_handler_active && return 0
    if [ "$(id -u)" -ne 0 ]; then
        x86_why="emulating x86 needs root"
        return 1
    fi
    source scripts/setup.sh
    if ! ruvenkal_setup qemu-user-static; then
        x86_why="qemu-user-static could not be installed"
        return 1
    fi
    if [ ! -e "$binfmt_dir/register" ]; then
        if ! mount -t binfmt_misc binfmt_misc "$binfmt_dir" 2>/dev/null; then
            x86_why="binfmt_misc could not be mounted on $binfmt_dir"
            return 1
        fi
        x86_undo=("umount $binfmt_dir" "${x86_undo[@]}")
    fi
    if [ -e "$qemu_handler" ]; then
        # Registered but switched off: switch it on for the run only.
        if ! { echo 1 >"$qemu_handler"; } 2>/dev/null; then
            x86_why="QEMU's handler could not be switched on"
            return 1
        fi
        x86_undo=("echo 0 > $qemu_handler" "${x86_undo[@]}")
    else
        if ! { printf '%s' "$qemu_registration" >"$binfmt_dir/register"; } 2>/dev/null; then
            x86_why="QEMU could not be registered for 32-bit programs"
            return 1
        fi
        x86_undo=("echo -1 > $qemu_handler" "${x86_undo[@]}")
    fi
    if ! head -n 1 "$binfmt_dir/status" 2>/dev/null | grep -qx enabled; then
        if ! { echo 1 >"$binfmt_dir/status"; } 2>/dev/null; then
            x86_why="binfmt_misc could not be switched on"
            return 1
        fi
        x86_undo=("echo 0 > $binfmt_dir/status" "${x86_undo[@]}")
    fi
}

# A forced native run on a machine where QEMU is registered: switch the handler off for the run,
# since it takes 32-bit programs over even where they could run natively.
ruvenkal_x86_unemulate() {
    ruvenkal_qemu_handler_active || return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Note: QEMU is registered for 32-bit programs here, so they run emulated." >&2
        return 0
    fi
    echo 0 >"$qemu_handler"
    x86_undo=("echo 1 > $qemu_handler" "${x86_undo[@]}")
}

# How much longer waits on the x86 side may take.
ruvenkal_x86_time_scale() {
    [ "$x86_mode" = emulated ] && echo 30 || echo 1
}
