#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, if anything is missing.
# Sourced by build.sh and test.sh; safe to run on its own.
set -euo pipefail

ruvenkal_missing_packages() {
    local wanted=(cmake ninja-build googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64
                  wine wine32:i386 wine64 fonts-wine xvfb xauth xdotool qemu-user-static
                  clang-14 libclang-rt-14-dev zip unzip)
    local package
    for package in "${wanted[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
            echo "$package"
        fi
    done
}

ruvenkal_setup() {
    local missing
    missing=$(ruvenkal_missing_packages "$@")
    [ -z "$missing" ] && return 0

    # 32-bit Wine lives in Debian's i386 architecture.
    local install="dpkg --add-architecture i386 && apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $(echo $missing)"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: $(echo $missing)" >&2
        echo "Run as root:" >&2
        echo "  $install" >&2
        return 1
    fi
    echo "Installing: $(echo $missing)"
    bash -c "$install"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    ruvenkal_setup "$@"
fi
