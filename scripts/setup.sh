#!/usr/bin/env bash
# Installs, on Debian 12, what one kind of work needs, if anything of it is missing. Sourced by the
# other scripts; safe to run on its own.
#
#   scripts/setup.sh [build] [test] [fuzz] [package] [more Debian packages...]
set -euo pipefail

# What each kind of work needs. Building the tests takes GoogleTest's sources, so building
# needs them too.
ruvenkal_packages_for() {
    case "$1" in
        # python3 writes the translators' template from the table of texts.
        build) echo cmake ninja-build googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 python3 ;;
        # The x86 side adds wine32:i386 and, where it is emulated, qemu-user-static.
        test) echo wine wine64 fonts-wine xvfb xauth xdotool zip unzip python3 ;;
        fuzz) echo cmake ninja-build clang-14 libclang-rt-14-dev ;;
        package) echo zip unzip python3 ;;
        *) echo "$1" ;;
    esac
}

ruvenkal_missing_packages() {
    local need package
    for need in "$@"; do
        for package in $(ruvenkal_packages_for "$need"); do
            if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
                echo "$package"
            fi
        done
    done
}

ruvenkal_setup() {
    local missing
    missing=$(ruvenkal_missing_packages "$@" | sort -u | tr '\n' ' ')
    [ -z "${missing// /}" ] && return 0

    local install="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing"
    # 32-bit Wine lives in Debian's i386 architecture.
    if [[ "$missing" == *:i386* ]]; then
        install="dpkg --add-architecture i386 && $install"
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: $missing" >&2
        echo "Run as root:" >&2
        echo "  $install" >&2
        return 1
    fi
    echo "Installing: $missing"
    bash -c "$install"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    ruvenkal_setup "${@:-build}"
fi
