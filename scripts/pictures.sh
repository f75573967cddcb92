#!/usr/bin/env bash
# Renders the real dialog, the sandbox and the moving picture of a zoom drag under Xvfb and Wine,
# inside a Wine virtual desktop, into docs/images/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
ruvenkal_setup test imagemagick
scripts/build.sh >/dev/null
mkdir -p docs/images

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    source scripts/wine-env.sh
    ruvenkal_start_wine
    work=$(mktemp -d)
    log="$work/sandbox.log"

    rect() { grep "^$1 " "$log" | tail -n 1 | tr -d "\r" | cut -d" " -f2-5; }
    wait_for() {  # 10 s of the clock at most, however slow each look is
        local deadline=$((SECONDS + 10))
        until grep -q "$1" "$log" 2>/dev/null; do
            [ "$SECONDS" -lt "$deadline" ] ||
                { echo "the sandbox never logged $1:" >&2; cat "$log" >&2; exit 1; }
            sleep 0.1
        done
    }
    shoot() {  # window name in the log, picture name
        read -r l t r b < <(rect "$1")
        import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "docs/images/$2"
        echo "docs/images/$2"
    }
    # The screen holds no pointer: pictures of a drag draw one in, where the real one was moved.
    draw_pointer() {  # x and y in the picture; reads a PNG, writes a PNG to $3
        local x=$1 y=$2
        # An arrow with its tip at (x, y).
        local arrow="$x,$y $x,$((y + 17)) $((x + 4)),$((y + 13)) $((x + 7)),$((y + 20))"
        arrow="$arrow $((x + 10)),$((y + 19)) $((x + 7)),$((y + 12)) $((x + 12)),$((y + 12))"
        convert - -fill white -stroke black -draw "polygon $arrow" "$3"
    }

    ruvenkal_wine build/x64/bin/sandbox.exe --log "$(ruvenkal_wine winepath -w "$log")" \
        --ini "$(ruvenkal_wine winepath -w "$work/s.ini")" &
    wait_for "^ready"
    read -r tl tt tr tb < <(rect timedisplay)
    read -r wl wt wr wb < <(rect window)

    # The whole sandbox window with the pointer drawn in at x and y of the time display.
    shoot_pointer() {  # x, y, picture path
        sleep 0.3
        import -window root -crop "$((wr - wl))x$((wb - wt))+$wl+$wt" +repage png:- |
            draw_pointer $((tl - wl + $1)) $((tt - wt + $2)) "$3"
    }

    # The moving picture: a press in the upper half, a slow drag down and back up. Frames are
    # taken by position, not by time.
    frames=$(mktemp -d)
    frame=0
    take_frame() {  # pointer x and y in the time display
        shoot_pointer "$1" "$2" "$frames/$(printf %03d "$frame").png"
        frame=$((frame + 1))
    }
    xdotool mousemove $((tl + 420)) $((tt + 8))
    take_frame 420 8
    xdotool mousedown 1
    take_frame 420 8
    for y in $(seq 14 6 80) $(seq 74 -6 8); do
        xdotool mousemove $((tl + 420)) $((tt + y))
        take_frame 420 "$y"
    done
    xdotool mouseup 1
    take_frame 420 8
    convert -delay 12 -loop 0 "$frames"/*.png +dither -layers Optimize docs/images/zoom-drag.gif
    echo "docs/images/zoom-drag.gif ($frame frames, $(stat -c %s docs/images/zoom-drag.gif) bytes)"
    rm -rf "$frames"

    # Mid-drag on the ruler: a first drag down zooms in; a second one, still held, shows the
    # pointer on the ruler below its press and the view zoomed further.
    height=$((tb - tt))
    xdotool mousemove $((tl + 420)) $((tt + 4)) mousedown 1
    for y in $(seq 8 4 $((height - 4))); do xdotool mousemove $((tl + 420)) $((tt + y)); sleep 0.03; done
    xdotool mouseup 1
    xdotool mousemove $((tl + 300)) $((tt + 4)) mousedown 1
    for y in $(seq 7 3 $((height - 10))); do xdotool mousemove $((tl + 300)) $((tt + y)); sleep 0.03; done
    sleep 0.2
    shoot_pointer 300 $((height - 10)) docs/images/sandbox-drag.png
    echo docs/images/sandbox-drag.png
    xdotool mouseup 1

    read -r bl bt br bb < <(rect button)
    xdotool mousemove $(((bl + br) / 2)) $(((bt + bb) / 2)) click 1
    wait_for "^dialog "
    sleep 0.5
    shoot window sandbox-dialog.png
    shoot dialog config-dialog.png

    # Extensions > Ruvenkal, opened from the keyboard.
    xdotool key Escape
    xdotool key alt+e
    wait_for "^menu-item -1 "
    xdotool key Right
    wait_for "^menu-item [0-9]* [a-z]* [a-z]* &Redo"
    sleep 0.5
    shoot window extensions-menu.png
    xdotool key Escape Escape
    # Closed from its close box, as a user closes it: a killed one leaves Wine waiting on it.
    close_sandbox() {
        read -r wl wt wr wb < <(rect window)
        xdotool mousemove $((wr - 12)) $((wt + 12)) click 1
        wait_for "^closed"
        wait
    }
    close_sandbox

    # The dialog in a language with longer words, for translators: the pseudo-translation the
    # tests use.
    log="$work/translated.log"
    ruvenkal_wine build/x64/bin/sandbox.exe --log "$(ruvenkal_wine winepath -w "$log")" \
        --ini "$(ruvenkal_wine winepath -w "$work/t.ini")" \
        --langpack "$(ruvenkal_wine winepath -w build/x64/bin/pseudo.ReaperLangPack)" &
    wait_for "^ready"
    read -r bl bt br bb < <(rect button)
    xdotool mousemove $(((bl + br) / 2)) $(((bt + bb) / 2)) click 1
    wait_for "^dialog "
    sleep 0.5
    shoot dialog config-dialog-translated.png
    xdotool key Escape
    close_sandbox
'
