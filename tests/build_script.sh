#!/usr/bin/env bash
# Runs a copy of build.sh with apt-get, sudo, cmake and ctest replaced by
# recorders. On a machine where everything is installed neither command may
# reach for the package manager (so both run offline), `play` builds the game
# alone and `test` builds everything; a package that apt-get leaves missing
# stops the script.
#
#   build_script.sh SOURCE_DIR
set -uo pipefail
command -v dpkg-query >/dev/null || { echo "build_script: no dpkg here, skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "build_script: $*"; exit 1; }

cp "$1/build.sh" "$work/build.sh"
mkdir "$work/bin"
for tool in apt-get sudo cmake ctest; do
    printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$tool" "$work" >"$work/bin/$tool"
    chmod +x "$work/bin/$tool"
done

# Runs build.sh COMMAND with no display; prints its exit status.
run() {
    : >"$work/calls"
    env -u DISPLAY -u WAYLAND_DISPLAY PATH="$work/bin:$PATH" bash "$work/build.sh" "$1" \
        >"$work/output" 2>&1
    echo $?
}

status=$(run play)
grep -qE '^(apt-get|sudo)' "$work/calls" && fail "play called the package manager: $(grep -E '^(apt-get|sudo)' "$work/calls")"
grep -qx "cmake --build build -j $(nproc) --target drawpoker" "$work/calls" \
    || fail "play did not build the game alone: $(grep -- '--build' "$work/calls")"
[ "$status" -eq 1 ] && grep -q "There is no display" "$work/output" \
    || fail "play without a display ended with $status: $(cat "$work/output")"

status=$(run test)
grep -qE '^(apt-get|sudo)' "$work/calls" && fail "test called the package manager: $(grep -E '^(apt-get|sudo)' "$work/calls")"
grep -qx "cmake --build build -j $(nproc)" "$work/calls" \
    || fail "test did not build everything: $(grep -- '--build' "$work/calls")"
[ "$status" -eq 0 ] || fail "test ended with $status: $(cat "$work/output")"

# A name apt-get cannot make installed, as a virtual package's would be.
sed -i 's/^build_packages=(/build_packages=(no-such-package-here /' "$work/build.sh"
status=$(run play)
[ "$status" -ne 0 ] && grep -q "Still not installed after apt-get: no-such-package-here" "$work/output" \
    || fail "a package left missing went unnoticed: $(cat "$work/output")"
grep -q -- '--build' "$work/calls" && fail "it built although a package is missing"

echo "build_script: nothing installed twice, play builds the game alone, a missing package stops the script"
