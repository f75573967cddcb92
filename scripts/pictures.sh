#!/usr/bin/env bash
# Renders the real configuration dialog under Xvfb and Wine into docs/images/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
ruvenkal_setup imagemagick
scripts/build.sh >/dev/null
mkdir -p docs/images

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    source scripts/wine-env.sh
    ruvenkal_start_wine
    rect_file=$(mktemp)
    wine build/x64/bin/show_config.exe 8 >"$rect_file" &
    for _ in $(seq 50); do [ -s "$rect_file" ] && break; sleep 0.2; done
    sleep 2
    read -r left top right bottom < <(tr -d "\r" <"$rect_file")
    width=$((right - left)); height=$((bottom - top))
    import -window root -crop "${width}x${height}+${left}+${top}" +repage docs/images/config-dialog.png
    wait
'
echo "docs/images/config-dialog.png"
