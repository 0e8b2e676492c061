#!/usr/bin/env bash
# The game's --help and --version, options it does not know, the game
# without a display, and the menu's launcher where it cannot start the
# game; all without a display.
#   command_line.sh DRAWPOKER LAUNCHER
set -u
game=$1 launcher=$2
failures=0
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
# expect WHAT STATUS LINES TEXT -- COMMAND...: the status, the number of
# lines on the terminal, and a text among them.
expect() {
    local what=$1 status=$2 lines=$3 text=$4; shift 5
    local output; output=$(cd "$work" && timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>&1)
    local got=$?
    if [ "$got" -ne "$status" ] || [ "$(wc -l <<<"$output")" -ne "$lines" ] || ! grep -qF -- "$text" <<<"$output"; then
        echo "FAIL: $what: status $got:"; head -n 5 <<<"$output"
        failures=$((failures + 1))
    fi
}
expect "--help" 0 10 "Usage: $game [options]" -- "$game" --help
expect "--version" 0 1 "drawpoker 1.0" -- "$game" --version
expect "unknown option" 2 2 'drawpoker: unknown option "--colour"' -- "$game" --colour red
expect "--show-error without its text" 2 2 "drawpoker: Missing value after '--show-error'." -- "$game" --show-error
expect "no display" 1 1 "drawpoker: no display to open the window on" -- "$game"

root_had_local=$([ -e /.local ] && echo yes)
expect "launcher, HOME unset" 1 1 "HOME is not set" -- env -u HOME -u XDG_DATA_HOME "$launcher"
if [ -z "$root_had_local" ] && [ -e /.local ]; then
    echo "FAIL: the launcher made /.local"; rm -rf /.local; failures=$((failures + 1))
fi
touch "$work/file"
expect "launcher, data folder under a file" 1 1 "cannot make the folder for the high scores, $work/file/drawpoker: Not a directory" \
    -- env XDG_DATA_HOME="$work/file" "$launcher"
[ -z "$(ls -A "$work" | grep -v '^file$')" ] || { echo "FAIL: made $(ls -A "$work")"; failures=$((failures + 1)); }

echo "$failures failed"
[ "$failures" -eq 0 ]
