#!/usr/bin/env bash
# Plays the real game binary in a real X server: a round by mouse, the exit
# question, a name on the high-score board, the logo; then checks that the
# program ended with status 0 and what it wrote to name2.dat.
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
for tool in Xvfb openbox xdotool import od; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing"; exit 1; }
done

work=$(mktemp -d)
data=${3:-$work}
mkdir -p "$data"
cleanup() { kill "${app:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() {
    echo "e2e: $*"
    [ -s "$work/game.log" ] && tail -n 5 "$work/game.log"
    DISPLAY=${display:-} import -window root "$artefacts/e2e-failure.png" 2>/dev/null \
        && echo "e2e: screenshot kept in $artefacts/e2e-failure.png"
    exit 1
}

# Ten places of 100 credits, so that any result takes the top place.
cd "$work"
for i in $(seq 0 9); do
    printf 'PLAYER%-14s\x64\x00\x00\x00' "$i"
done > "$data/name2.dat"
before=$(od -An -v -tx1 "$data/name2.dat" | tr -d ' \n')

# Xvfb picks a free display itself and says which once it is ready, so that
# other X servers on the machine (other test runs) cannot be mistaken for it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 & xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
display=":$(head -n 1 "$work/display")"
export DISPLAY=$display QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 & wm=$!
sleep 0.5

"$game" >"$work/game.log" 2>&1 & app=$!
# Waits up to $2 seconds for a visible window titled $1 and prints its id.
# A search fails with an X error when another window goes away during it, so
# it is repeated until it finds the window.
wait_for() {
    local id deadline=$((SECONDS + $2))
    while [ "$SECONDS" -le "$deadline" ]; do
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
        xdotool windowactivate --sync "$1" 2>"$work/xdotool.log" && return 0
        sleep 0.3
    done
    cat "$work/xdotool.log"
    return 1
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

[ "$data" = "$work" ] || [ ! -e "$work/name2.dat" ] || fail "name2.dat was written in the folder the game was started from"
after=$(od -An -v -tx1 "$data/name2.dat" | tr -d ' \n')
[ "${#after}" -eq 480 ] || fail "name2.dat is ${#after} hex digits long, not 240 bytes"
name=${after:0:40}
[ "$name" = "$(printf 'E2E%-17s' '' | od -An -v -tx1 | tr -d ' \n')" ] || fail "the top name is not E2E: $name"
score=$(( 16#${after:46:2}${after:44:2}${after:42:2}${after:40:2} ))
[ "$score" -ge 499 ] && [ "$score" -le 700 ] || fail "the top score $score is not one round's result"
[ "${after:48}" = "${before:48}" ] || fail "places 1 to 9 changed"
echo "e2e: played a round, left with $score credits, stored as E2E; the program ended with status 0"
