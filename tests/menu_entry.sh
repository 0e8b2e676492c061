#!/usr/bin/env bash
# Starts the game as the desktop menu does, through the Exec line of the
# installed menu entry (in a staging folder, see install_tree.sh), for a
# player whose home and data folders are temporary:
#  - without XDG_DATA_HOME, the game runs in ~/.local/share/drawpoker, which
#    is made (private) when missing;
#  - with XDG_DATA_HOME, a whole game played in a real X server keeps its
#    high scores in $XDG_DATA_HOME/drawpoker/name2.dat (e2e.sh).
#
#   menu_entry.sh STAGE_DIR E2E.sh ARTEFACT_DIR
set -uo pipefail
stage=$(readlink -f "$1") e2e=$(readlink -f "$2") artefacts=$(readlink -f "$3")
entry=$stage/usr/share/applications/io.github.drawpoker.DrawPoker.desktop
[ -f "$entry" ] || { echo "FAIL: no menu entry at $entry"; exit 1; }

# The Exec line without the field codes (%f, %u, ...) the menu fills in: the
# launcher's absolute path, found here under the staging folder.
read -r -a command <<<"$(sed -n 's/^Exec=//p' "$entry" | sed 's/ %[a-zA-Z]//g')"
[ "${#command[@]}" -eq 1 ] || { echo "FAIL: the Exec line has arguments this test does not pass on"; exit 1; }
launcher=$stage${command[0]}

player=$(mktemp -d)
trap 'kill "${game:-}" 2>/dev/null; rm -rf "$player"' EXIT
mkdir "$player/home" "$player/elsewhere"
cd "$player/elsewhere"

expected=$player/home/.local/share/drawpoker
HOME=$player/home QT_QPA_PLATFORM=offscreen env -u XDG_DATA_HOME "$launcher" >/dev/null 2>&1 & game=$!
for _ in $(seq 100); do
    [ "$(readlink "/proc/$game/exe")" = "$stage/usr/bin/drawpoker" ] && break
    sleep 0.1
done
exe=$(readlink "/proc/$game/exe") cwd=$(readlink "/proc/$game/cwd")
kill "$game"
[ "$exe" = "$stage/usr/bin/drawpoker" ] || { echo "FAIL: the menu entry started $exe"; exit 1; }
[ "$cwd" = "$expected" ] || { echo "FAIL: without XDG_DATA_HOME the game ran in $cwd, not $expected"; exit 1; }
[ "$(stat -c %a "$expected")" = 700 ] || { echo "FAIL: $expected is not private"; exit 1; }

HOME=$player/home XDG_DATA_HOME=$player/data bash "$e2e" "$launcher" "$artefacts" "$player/data/drawpoker"
