#!/usr/bin/env bash
# Plays the real game binary in a real X server: a round by mouse, the exit
# question, a name on the high-score board, the logo; checks that each of the
# three windows opens centred by its frame and stays there, that the program
# ended with status 0 and what it wrote to name2.dat.
#
#   e2e.sh DRAWPOKER ARTEFACT_DIR [DATA_DIR]
# The game is started in a temporary folder and keeps name2.dat there. A
# program that starts the game in a folder of its own (the menu's launcher)
# is checked with that folder as DATA_DIR: the high scores must be kept
# there, and nothing written to the folder it was started from.
set -uo pipefail
game=$(readlink -f "$1")
artefacts=$(readlink -f "$2")
mkdir -p "$artefacts"
for tool in Xvfb openbox xdotool xprop xev import od; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing"; exit 1; }
done

work=$(mktemp -d)
display=""
data=${3:-$work}
mkdir -p "$data"
cleanup() { kill "${app:-}" "${xev:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() {
    echo "e2e: $*"
    [ -s "$work/game.log" ] && tail -n 5 "$work/game.log"
    [ -n "$display" ] && DISPLAY=$display import -window root "$artefacts/e2e-failure.png" 2>/dev/null \
        && echo "e2e: screenshot kept in $artefacts/e2e-failure.png"
    exit 1
}

# Ten places of 100 credits, so that any result takes the top place.
cd "$work"
for i in $(seq 0 9); do
    printf 'PLAYER%-14s\x64\x00\x00\x00' "$i"
done > "$data/name2.dat"
before=$(od -An -v -tx1 "$data/name2.dat" | tr -d ' \n')

# The server picks a free display itself and names it once it takes
# connections, so that tests running side by side never share one.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 & xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
display=":$(head -n 1 "$work/display")"
export DISPLAY=$display QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 & wm=$!
# The window manager is ready once it has announced itself on the root window.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in $(seq 100); do wm_ready && break; sleep 0.1; done
wm_ready || fail "the window manager did not start"

# Every change to the top-level windows, frames included, as the X server
# reports it: where each frame was when it was mapped and where it went.
xev -root -event substructure >"$work/windows.log" 2>&1 & xev=$!
# Options and hand history of the player's own stay out of it: the game
# starts as if new.
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="${XDG_DATA_HOME:-$work/data}" "$game" >"$work/game.log" 2>&1 & app=$!
# The first shown window named $1, looked for every tenth of a second for up
# to $2 seconds: the logo ends itself soon, so it must be seen quickly.
wait_for() {
    local id
    for _ in $(seq $(( $2 * 10 ))); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# Brings a window to the front before keys are sent to it, trying again
# past the same kind of X error.
activate() {
    for _ in 1 2 3 4 5; do
        timeout 10 xdotool windowactivate --sync "$1" 2>"$work/xdotool.log" && return 0
        sleep 0.3
    done
    cat "$work/xdotool.log"
    return 1
}

# Reads the log of window changes; for the frame around client window $1
# prints "x y width height" as it was mapped, then a line for each later move
# while it was on screen.
frame_history() {
    awk -v client="$(printf '0x%x' "$1")" '
        /^[A-Za-z]/ { event = $1; next }
        { gsub(/, /, " "); sub(/,$/, "") }
        event == "ReparentNotify" && $4 == client { frame = $6 }
        event == "ConfigureNotify" {
            place[$4] = $5; size[$4] = $7 " " $9
            if ($4 == frame && shown && place[$4] != at_map)
                print "moved from " at_map " to " place[$4]
        }
        event == "MapNotify" && $4 == frame && !mapped {
            mapped = shown = 1; at_map = place[$4]
            xy = place[$4]; gsub(/[(),]/, " ", xy)
            print xy, size[$4]
        }
        event == "UnmapNotify" && $4 == frame { shown = 0 }
        { event = "" }' "$work/windows.log"
}

# A window opens centred on the 1280 x 1024 screen by its outer size, frame
# included, and is not moved while it is shown.
check_centred() {
    local name=$1 x y width height moves
    read -r x y width height < <(frame_history "$2" | head -n 1)
    [ -n "${height:-}" ] || fail "no frame was mapped for $name"
    [ "$x $y" = "$(( (1280 - width) / 2 )) $(( (1024 - height) / 2 ))" ] \
        || fail "$name opened off centre: its frame at ($x, $y), $width x $height"
    moves=$(frame_history "$2" | tail -n +2)
    [ -z "$moves" ] || fail "$name was moved after it was shown: $moves"
}

table=$(wait_for Form1 20) || fail "the table did not open"
sleep 0.5
click "$table" 70 440      # DEAL: a new hand
click "$table" 72 324      # HOLD the first card
click "$table" 70 440      # DEAL: draw and pay
click "$table" 70 440      # DEAL: turn the cards down
import -window root "$work/table.png" 2>/dev/null

wmctrl -c Form1 2>/dev/null || { activate "$table" && xdotool key --clearmodifiers alt+F4; }
question=$(wait_for 'Draw Poker' 10) || fail "no exit question"
activate "$question" || fail "could not bring the exit question to the front"
xdotool key Return   # Yes is the default answer

board=$(wait_for 'program by Vandemeer' 10) || fail "no high-score board"
sleep 0.5
activate "$board" || fail "could not bring the high-score board to the front"
xdotool type --delay 50 "E2E"
xdotool key Return
sleep 0.5
click "$board" 200 285     # the board's own surface, under the rows

logo=$(wait_for LOGO 10) || fail "no logo screen"
# The logo also ends the program by itself after two and a half seconds.
activate "$logo" && xdotool key space

for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end after the logo"
wait "$app"; status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(tail -n 5 "$work/game.log")"
check_centred "the table" "$table"
check_centred "the board" "$board"
check_centred "the logo" "$logo"

[ "$data" = "$work" ] || [ ! -e "$work/name2.dat" ] || fail "name2.dat was written in the folder the game was started from"
after=$(od -An -v -tx1 "$data/name2.dat" | tr -d ' \n')
[ "${#after}" -eq 480 ] || fail "name2.dat is ${#after} hex digits long, not 240 bytes"
name=${after:0:40}
[ "$name" = "$(printf 'E2E%-17s' '' | od -An -v -tx1 | tr -d ' \n')" ] || fail "the top name is not E2E: $name"
score=$(( 16#${after:46:2}${after:44:2}${after:42:2}${after:40:2} ))
[ "$score" -ge 499 ] && [ "$score" -le 700 ] || fail "the top score $score is not one round's result"
[ "${after:48}" = "${before:48}" ] || fail "places 1 to 9 changed"
echo "e2e: played a round, left with $score credits, stored as E2E; the program ended with status 0"
