#!/usr/bin/env bash
# End to end with real input: moves the X pointer over the sandbox's time display as a person
# would, changes the settings through the dialog with real clicks and key presses, and checks what
# the extension did from the sandbox's own log. Needs an X display with a running Wine prefix.
#
#   sandbox_e2e.sh path/to/wine path/to/sandbox.exe
#
# It waits on what the sandbox logs, never for a fixed time. RUVENKAL_TIME_SCALE multiplies every
# time limit, for 32-bit programs under emulation.
set -euo pipefail
wine=$1
sandbox_exe=$2
time_scale=${RUVENKAL_TIME_SCALE:-1}
work=$(mktemp -d)
log="$work/sandbox.log"
ini="$work/sandbox.ini"

fail() {
    echo "FAIL: $*" >&2
    echo "--- sandbox log" >&2
    cat "$log" >&2 || true
    exit 1
}

"$wine" "$sandbox_exe" --log "$("$wine" winepath -w "$log")" --ini "$("$wine" winepath -w "$ini")" &
sandbox_pid=$!
trap 'kill $sandbox_pid 2>/dev/null || true; rm -rf "$work"' EXIT

# Polls until the command $2... succeeds, for at most $1 seconds (times the scale) of the clock,
# however long each try takes.
now_us() { echo "${EPOCHREALTIME/./}"; }
wait_until() {
    local deadline=$(($(now_us) + $1 * time_scale * 1000000))
    shift
    until "$@"; do
        [ "$(now_us)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
}

logged() { grep -q "$1" "$log" 2>/dev/null; }
# Lines since the mark matching $1: at least $2 of them.
logged_since_mark() { [ "$(since_mark | grep -c "$1")" -ge "$2" ]; }
since_mark() { tail -n +"$((mark + 1))" "$log" | tr -d '\r'; }
set_mark() { mark=$(wc -l <"$log"); }

rect() {  # prints "left top right bottom" of a logged window
    grep "^$1 " "$log" | tail -n 1 | tr -d '\r' | cut -d' ' -f2-5
}

wait_until 10 logged '^ready' || fail "the sandbox never became ready"
read -r left top right bottom < <(rect timedisplay)

# The window may not be on the display yet when the sandbox says it is ready: move the pointer
# over the time display until the sandbox sees it there.
hover=0
pointer_seen() {
    hover=$(((hover + 1) % 20))
    xdotool mousemove $((left + 300 + hover)) $((top + 2))
    sleep 0.05
    logged "^timedisplay hover $((300 + hover)) 2"
}
wait_until 10 pointer_seen || fail "the pointer never reached the time display"

# A drag with the real pointer, in time display client coordinates: press at the first point,
# move through the rest in small steps, release at the last. Each move waits until the sandbox
# has it, so that a slow sandbox never sees two moves merged into one. With press=double-click,
# a click comes first and the drag's press is the double-click's second one.
press=down
drag() {
    local x=$1 y=$2 moves=0
    shift 2
    set_mark
    if [ "$press" = double-click ]; then
        # One command, so that both presses come well within the double-click time.
        xdotool mousemove $((left + x)) $((top + y)) click 1 mousedown 1
    else
        xdotool mousemove $((left + x)) $((top + y)) mousedown 1
    fi
    wait_until 5 logged_since_mark "^timedisplay $press" 1 || fail "the $press never arrived"
    while [ $# -gt 0 ]; do
        local tx=$1 ty=$2
        shift 2
        while [ "$x" -ne "$tx" ] || [ "$y" -ne "$ty" ]; do
            x=$((x + (tx > x ? 1 : (tx < x ? -1 : 0)) * ((tx - x) * (tx - x) > 1 ? 2 : 1)))
            y=$((y + (ty > y ? 1 : (ty < y ? -1 : 0)) * ((ty - y) * (ty - y) > 1 ? 2 : 1)))
            xdotool mousemove $((left + x)) $((top + y))
            moves=$((moves + 1))
            wait_until 5 logged_since_mark '^timedisplay move' "$moves" ||
                fail "move $moves to ($x, $y) never arrived"
        done
    done
    xdotool mouseup 1
    wait_until 5 logged_since_mark '^timedisplay up' 1 || fail "the release never arrived"
}

zoom_sum() { since_mark | awk '$1 == "adjustZoom" { s += $2; n++ } END { printf "%d %.9f\n", n, s }'; }

expect_zoom() {  # $1: what, $2: expected sum (0 for no calls at all)
    read -r calls sum < <(zoom_sum)
    if [ "$2" = 0 ]; then
        [ "$calls" -eq 0 ] || fail "$1: expected no zoom, got $calls calls summing to $sum"
    else
        [ "$calls" -gt 0 ] || fail "$1: expected zoom calls, got none"
        awk -v s="$sum" -v e="$2" 'BEGIN { d = s - e; exit !(d < 1e-5 && d > -1e-5) }' ||
            fail "$1: zoom amounts sum to $sum, expected $2"
    fi
    echo "ok: $1 ($calls adjustZoom calls, sum $sum)"
}

expect_moves() {  # $1: what, $2: field (2 for x, 3 for y), $3: the value every move must have
    local moves wrong
    moves=$(since_mark | grep -c '^timedisplay move' || true)
    wrong=$(since_mark | awk -v f="$2" -v v="$3" '$1 == "timedisplay" && $2 == "move" && $(f + 1) != v' | head -n 3)
    [ "$moves" -gt 0 ] || fail "$1: the time display received no moves"
    [ -z "$wrong" ] || fail "$1: moves reached the time display unpinned: $wrong"
    echo "ok: $1 ($moves moves pinned)"
}

# Extensions → Ruvenkal, from the keyboard.
open_ruvenkal_menu() {  # $1: the toggle's check mark expected
    set_mark
    xdotool key alt+e
    wait_until 10 logged_since_mark '^menu-item -1 unchecked enabled Ruvenkal' 1 ||
        fail "Alt+E did not open the Extensions menu"
    xdotool key Right
    wait_until 10 logged_since_mark '^menu-item [0-9]* [a-z]* [a-z]* &Redo zoom drag' 1 ||
        fail "the Ruvenkal submenu did not open"
    [ -z "$1" ] || since_mark | grep -q "^menu-item [0-9]* $1 enabled &Zoom by dragging" ||
        fail "the toggle's item is not $1: $(since_mark | grep '^menu-item')"
}
choose() {  # $1: the item's mnemonic, $2: what the sandbox logs once the command has run
    set_mark
    xdotool key "$1"
    wait_until 10 logged_since_mark "$2" 1 || fail "choosing '$1' did not give '$2'"
}

# Default settings: scale 0.1, both halves. The time display is 48 pixels high.
drag 150 8 150 20
expect_zoom "upper half, dragged down 12 pixels" 1.2
drag 150 20 150 4
expect_zoom "upper half, dragged up 16 pixels" -1.6

drag 200 36 260 36 260 46
expect_zoom "lower half, sideways first" 0
expect_moves "lower half, sideways first: y pinned to the press" 3 36

drag 400 30 400 44 440 44
expect_zoom "lower half, down first" 1.4
expect_moves "lower half, down first: x pinned to the press" 2 400

# The time display takes double-clicks: a press soon after a click still starts a zoom.
press=double-click drag 150 8 150 20
expect_zoom "upper half, dragged down 12 pixels from a double-click" 1.2

# Whether the pointer, hovering over the time display, has arrived there since key_mark with
# the keys held $1, as the sandbox names them.
keys_seen() {
    hover=$(((hover + 1) % 20))
    xdotool mousemove $((left + 300 + hover)) $((top + 2))
    sleep 0.05
    tail -n +"$((key_mark + 1))" "$log" | grep -q "^timedisplay keys $1"
}

# Taking a zoom back. The views logged at a press, after Escape and after a menu command are the
# view's start and zoom; a view set back from its times gives the zoom within rounding.
view_of() { since_mark | grep "$1" | tail -n 1 | awk '{ for (i = 1; i < NF; i++) if ($i == "view") { print $(i + 1), $(i + 2); exit } }'; }
same_view() {  # $1: what, $2 and $3: the views
    awk -v a="$2" -v b="$3" 'BEGIN { split(a, x, " "); split(b, y, " ");
        d = (x[2] - y[2]) / y[2]; exit !(x[1] == y[1] && d < 1e-9 && d > -1e-9) }' ||
        fail "$1: the view is $2, expected $3"
    echo "ok: $1"
}
menu_shows() {  # $1: the item's state and text, as the sandbox logs them
    since_mark | grep -q "^menu-item [0-9]* $1\$" || fail "the menu did not show $1: $(since_mark | grep '^menu-item')"
}

# Escape in the middle of a zooming drag puts the view back as it was at the press.
click_timeline() {  # so that the keyboard is the sandbox's
    read -r wl wt wr wb < <(rect window)
    xdotool mousemove $((wl + 450)) $((wb - 30)) click 1
}
escape_mid_drag() {  # $1: the x of the drag, $2: what
    set_mark
    xdotool mousemove $((left + $1)) $((top + 8)) mousedown 1
    wait_until 5 logged_since_mark '^timedisplay down' 1 || fail "the press never arrived"
    for y in 10 12 14 16; do
        xdotool mousemove $((left + $1)) $((top + y))
    done
    wait_until 5 logged_since_mark "^timedisplay move $1 16" 1 || fail "the moves never arrived"
    xdotool key Escape
    wait_until 5 logged_since_mark '^key escape view' 1 || fail "Escape never reached the sandbox"
    xdotool mouseup 1
    wait_until 5 logged_since_mark '^timedisplay up' 1 || fail "the release never arrived"
    same_view "$2 mid-drag put the view back" "$(view_of '^key escape')" "$(view_of '^timedisplay down')"
}
click_timeline
escape_mid_drag 150 Escape

# Undo and Redo from the menu after a drag that zoomed (away from the last press, which would
# make this one a double-click).
drag 250 8 250 20
expect_zoom "upper half, dragged down 12 pixels, to undo" 1.2
before=$(view_of '^timedisplay down')
after=$(view_of '^adjustZoom')
open_ruvenkal_menu ""
menu_shows "unchecked enabled &Undo zoom drag"
menu_shows "unchecked grayed &Redo zoom drag"
choose u '^menu view'
same_view "Undo from the menu put the view back" "$(view_of '^menu view')" "$before"
open_ruvenkal_menu ""
menu_shows "unchecked enabled &Redo zoom drag"
choose r '^menu view'
same_view "Redo from the menu went forward again" "$(view_of '^menu view')" "$after"

# Each project tab keeps its own history: a zoom in tab 1, another in tab 2, back to tab 1, and
# Undo there puts back tab 1's view.
project() {  # $1: the item's mnemonic in the Project menu
    set_mark
    xdotool key alt+p "$1"
    wait_until 10 logged_since_mark '^project view' 1 || fail "Project menu item '$1' did not run"
}
drag 320 8 320 20
expect_zoom "tab 1, dragged down 12 pixels" 1.2
tab1_before=$(view_of '^timedisplay down')
tab1_after=$(view_of '^adjustZoom')
project n
since_mark | grep -q '^project tab 2 of 2' || fail "Next tab did not go to tab 2: $(since_mark)"
drag 360 8 360 16
expect_zoom "tab 2, dragged down 8 pixels" 0.8
project v
same_view "tab 1 kept its view" "$(view_of '^project view')" "$tab1_after"
open_ruvenkal_menu ""
choose u '^menu view'
same_view "Undo in tab 1 put back tab 1's view" "$(view_of '^menu view')" "$tab1_before"
# A new project in the tab starts with nothing to undo or redo.
project p
open_ruvenkal_menu ""
menu_shows "unchecked grayed &Undo zoom drag"
menu_shows "unchecked grayed &Redo zoom drag"
xdotool key Escape Escape
echo "ok: a new project in the tab has nothing to undo or redo"

# Escape as a system key, with Alt held, puts the view back as well. Windows keeps Alt+Esc for
# itself and Wine doesn't: a user lets go of Alt first, which the unit tests cover.
click_timeline
key_mark=$(wc -l <"$log")
xdotool keydown alt
wait_until 10 keys_seen Alt || fail "Alt never reached the time display"
escape_mid_drag 420 Alt+Escape
key_mark=$(wc -l <"$log")
# Releasing Alt alone would open the window's menu: Escape leaves it again.
xdotool keyup alt key Escape
wait_until 10 keys_seen none || fail "Alt was never released"

# The dialog, through the action's button, with real clicks and keys.
read -r bl bt br bb < <(rect button)
xdotool mousemove $(((bl + br) / 2)) $(((bt + bb) / 2)) click 1
wait_until 10 logged '^dialog ' || fail "the action never showed the dialog"
# The scale field has the focus, its text selected: typing replaces it. X delivers the keys,
# the click and Enter in this order, however slowly the dialog takes them. The text reads as
# 0.5 only if the space reaches the field: without it, the field would hold 0.55.
xdotool type --delay 50 "0.5 5"
read -r ul ut ur ub < <(rect dialog-upper)
xdotool mousemove $((ul + 8)) $(((ut + ub) / 2)) click 1
xdotool key Return
saved() { grep -q "scale=0.500000" "$ini" 2>/dev/null && grep -q "mask=2" "$ini"; }
wait_until 10 saved || fail "the dialog did not save scale 0.5 and mask 2: $(cat "$ini" 2>&1)"
echo "ok: the dialog saved scale 0.5 and the lower half only"

# On the host's own window the space bar plays; typed into the field above, it did not.
! logged '^play' || fail "a space typed into the dialog's field ran the host's play shortcut"
read -r wl wt wr wb < <(rect window)
set_mark
xdotool mousemove $((wl + 450)) $((wb - 30)) click 1
xdotool key space
wait_until 10 logged_since_mark '^play' 1 || fail "the space bar never reached the host"
echo "ok: a space went into the field, and played only on the host's window"

drag 150 8 150 20
expect_zoom "upper half, now disabled" 0
drag 400 30 400 40
expect_zoom "lower half, down 10 pixels at scale 0.5" 5.0

# The dialog again, for the zoom focus and the lock distance, from the keyboard: from the lock
# field back to the list, one item down to "Mouse cursor", on to the field, 6, Enter.
set_mark
xdotool mousemove $(((bl + br) / 2)) $(((bt + bb) / 2)) click 1
wait_until 10 logged_since_mark '^dialog ' 1 || fail "the action never showed the dialog again"
read -r ll lt lr lb < <(rect dialog-lock)
xdotool mousemove $(((ll + lr) / 2)) $(((lt + lb) / 2)) click 1
xdotool key shift+Tab Down Tab
xdotool type --delay 50 "6"
xdotool key Return
saved() { grep -q "focus=3" "$ini" 2>/dev/null && grep -q "lock=6" "$ini"; }
wait_until 10 saved || fail "the dialog did not save focus 3 and lock 6: $(cat "$ini" 2>&1)"
echo "ok: the dialog saved the mouse pointer as the focus and a lock distance of 6"

# Lock 6: a 2-pixel diagonal start no longer decides the axis, and the drag still zooms by all
# of its vertical movement.
drag 400 30 402 32 402 44
expect_zoom "lower half, diagonal start then down, lock 6" 7.0
expect_moves "lower half, lock 6: x at the press throughout" 2 400

# Focus on the pointer: the time under it (at x 402) stays within a pixel through every zoom.
since_mark | awk '
    $1 == "timedisplay" && $2 == "down" { t0 = $6 + 402 / $7 }
    $1 == "adjustZoom" {
        n++
        if ($3 != "focus" || $4 != 3) { print "focus argument " $4; bad++ }
        off = ($8 + $6 / $9 - t0) * $9
        if (off > 1 || off < -1) { print "the time under the pointer moved " off " pixels"; bad++ }
    }
    END { exit !(n > 0 && bad == 0) }' || fail "zooming around the pointer moved the time under it"
echo "ok: zooming kept the time under the pointer in place"

# "Zoom when:", from the keyboard: from the lock field past the on/off box to the list, the keys
# given to move in it, Enter.
choose_modifier() {  # $1: keys for the list ("Down", "Home"), $2: with-upper also ticks that box
    set_mark
    xdotool mousemove $(((bl + br) / 2)) $(((bt + bb) / 2)) click 1
    wait_until 10 logged_since_mark '^dialog ' 1 || fail "the action never showed the dialog"
    if [ "$2" = with-upper ]; then
        read -r ul ut ur ub < <(rect dialog-upper)
        xdotool mousemove $((ul + 8)) $(((ut + ub) / 2)) click 1
    fi
    read -r ll lt lr lb < <(rect dialog-lock)
    xdotool mousemove $(((ll + lr) / 2)) $(((lt + lb) / 2)) click 1
    xdotool key Tab Tab
    xdotool key $1 Return
}
# A drag with a key held from before the press to after the release. Each change of the key
# waits until the pointer, hovering over the time display, arrives with it.
drag_holding() {  # $1: xdotool key name, $2: the sandbox's name for it, then drag's arguments
    local key=$1 name=$2
    shift 2
    # A click on the timeline first: the thread that handles the press sees Alt only in its own
    # key state.
    click_timeline
    key_mark=$(wc -l <"$log")
    xdotool keydown "$key"
    wait_until 10 keys_seen "$name" || fail "$name never reached the time display"
    drag "$@"
    key_mark=$(wc -l <"$log")
    # Releasing Alt alone would open the window's menu: Escape leaves it again.
    xdotool keyup "$key" key Escape
    wait_until 10 keys_seen none || fail "$name was never released"
}
pressed_with() {  # $1: the keys the time display saw at the press
    since_mark | grep -q "^timedisplay down .* keys $1\$" ||
        fail "the press did not arrive with keys $1: $(since_mark | grep '^timedisplay down')"
}

choose_modifier Down with-upper
saved() { grep -q "modifier=1" "$ini" 2>/dev/null && grep -q "mask=3" "$ini"; }
wait_until 10 saved || fail "the dialog did not save modifier 1 and mask 3: $(cat "$ini" 2>&1)"
echo "ok: the dialog saved zooming only without Shift, Ctrl or Alt"

drag_holding ctrl Ctrl 150 8 150 20 170 20
pressed_with Ctrl
expect_zoom "Ctrl-drag in the upper half, plain drags only" 0
since_mark | grep -q '^timedisplay move 170 20' || fail "the Ctrl-drag did not reach the time display as sent"
echo "ok: the Ctrl-drag reached the time display as sent"
drag 150 8 150 20
pressed_with none
expect_zoom "plain drag in the upper half, plain drags only" 6.0

choose_modifier "Down Down Down" no
saved() { grep -q "modifier=4" "$ini" 2>/dev/null; }
wait_until 10 saved || fail "the dialog did not save modifier 4: $(cat "$ini" 2>&1)"
echo "ok: the dialog saved zooming only with Alt"

drag 150 8 150 20
expect_zoom "plain drag in the upper half, Alt-drags only" 0
drag_holding alt Alt 150 8 150 20
pressed_with Alt
expect_zoom "Alt-drag in the upper half, Alt-drags only" 6.0

choose_modifier Home no
saved() { ! grep -q "modifier=" "$ini" 2>/dev/null; }
wait_until 10 saved || fail "the dialog did not go back to any keys: $(cat "$ini" 2>&1)"

# A band of 8 pixels around the press, typed into its field: a marker dragged sideways with a
# hand's jitter moves and doesn't zoom, a deliberate drag zooms by what lies beyond the band, and
# back at the press the view is as it was.
set_mark
xdotool mousemove $(((bl + br) / 2)) $(((bt + bb) / 2)) click 1
wait_until 10 logged_since_mark '^dialog ' 1 || fail "the action never showed the dialog"
read -r hl ht hr hb < <(rect dialog-threshold)
xdotool mousemove $(((hl + hr) / 2)) $(((ht + hb) / 2)) click 1
xdotool key End BackSpace BackSpace
xdotool type --delay 50 "8"
xdotool key Return
saved() { grep -q "threshold=8" "$ini" 2>/dev/null; }
wait_until 10 saved || fail "the dialog did not save a band of 8: $(cat "$ini" 2>&1)"
echo "ok: the dialog saved a band of 8 pixels"

project p  # a fresh view, with the markers where they are
read -r m1 _ < <(since_mark | grep '^markers' | tail -n 1 | cut -d' ' -f2-)
[ "$m1" -ge 20 ] && [ "$m1" -le 700 ] || fail "marker 1 is not where a drag can take it: $m1"
drag $((m1 + 4)) 8 $((m1 + 14)) 11 $((m1 + 30)) 5 $((m1 + 48)) 10 $((m1 + 64)) 8
expect_zoom "a marker dragged sideways with jitter, band 8" 0
read -r moved _ < <(since_mark | grep '^markers' | tail -n 1 | cut -d' ' -f2-)
[ "$moved" -eq $((m1 + 60)) ] || fail "marker 1 went from $m1 to $moved, not 60 pixels on"
echo "ok: the marker moved 60 pixels"

zoom_x=$((m1 + 200))
drag "$zoom_x" 8 "$zoom_x" 30
expect_zoom "a deliberate drag down 22 pixels, band 8, scale 0.5" 7.0
# Elsewhere: a second press at the same place would be a double-click.
zoom_x=$((zoom_x + 40))
drag "$zoom_x" 8 "$zoom_x" 30 "$zoom_x" 8
read -r calls sum < <(zoom_sum)
[ "$calls" -gt 0 ] || fail "a drag beyond the band and back never zoomed"
awk -v a="$(view_of '^adjustZoom')" -v b="$(view_of '^timedisplay down')" 'BEGIN {
    split(a, x, " "); split(b, y, " "); ds = x[1] - y[1]; dz = (x[2] - y[2]) / y[2]
    exit !(ds < 1e-6 && ds > -1e-6 && dz < 1e-9 && dz > -1e-9) }' ||
    fail "back at the press the view is $(view_of '^adjustZoom'), not $(view_of '^timedisplay down')"
echo "ok: back at the press, the view is as it was ($calls adjustZoom calls, sum $sum)"

# The toggle action, from its button: off, the time display is left as it was.
read -r gl gt gr gb < <(rect toggle-button)
set_mark
xdotool mousemove $(((gl + gr) / 2)) $(((gt + gb) / 2)) click 1
wait_until 10 logged_since_mark '^toggle off' 1 || fail "the toggle did not switch off"
drag 400 30 400 40 420 40
expect_zoom "lower half after switching off" 0
since_mark | grep -q '^timedisplay move 420 40' || fail "switched off, moves still got pinned"
grep -q "enabled=0" "$ini" || fail "switching off was not saved: $(cat "$ini")"
echo "ok: switched off, the drag reached the time display as sent"

# Extensions → Ruvenkal, from the keyboard: the toggle's check mark shows the state each time
# the menu opens, and choosing an item runs its command.
open_ruvenkal_menu unchecked
choose z '^toggle on'
echo "ok: the menu showed the gesture off, and its toggle item switched it on"
open_ruvenkal_menu checked
choose z '^toggle off'
open_ruvenkal_menu unchecked
echo "ok: the menu's check mark followed the toggle both ways"
choose s '^dialog '
xdotool key Escape
echo "ok: Settings... opened the dialog"

# The user moves the toggle's item to a menu of their own: its check mark follows it there.
set_mark
xdotool key alt+c
wait_until 10 logged_since_mark '^menu-item 200 ' 1 || fail "Alt+C did not open the user's menu"
choose m '^moved toggle'
for state in unchecked:on checked:off; do
    set_mark
    xdotool key alt+c
    wait_until 10 logged_since_mark '^menu-item [0-9]* [a-z]* [a-z]* &Zoom by dragging' 1 ||
        fail "the moved toggle is not in the user's menu"
    menu_shows "${state%:*} enabled &Zoom by dragging the time display"
    choose z "^toggle ${state#*:}"
done
echo "ok: the check mark followed the toggle's item into the user's menu"

# Closed as a user closes it, with the close box: the host's unload call and the unload go
# through, and nothing of this run stays in Wine to get in the way of the next one.
read -r wl wt wr wb < <(rect window)
xdotool mousemove $((wr - 12)) $((wt + 12)) click 1
wait_until 10 logged '^closed' || fail "the sandbox did not close from its close box"
exited() { ! kill -0 "$sandbox_pid" 2>/dev/null; }
wait_until 10 exited || fail "the sandbox logged its close but never exited"
wait "$sandbox_pid" || fail "the sandbox exited with status $?"
echo "PASS"
