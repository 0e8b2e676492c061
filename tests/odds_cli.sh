#!/usr/bin/env bash
# The odds tool's answers to good and bad command lines.
#   odds_cli.sh DRAWPOKER-ODDS
set -u
odds=$1
failures=0
expect() { # expect STATUS TEXT -- ARGS...
    local status=$1 text=$2; shift 3
    local output; output=$("$odds" "$@" 2>&1); local got=$?
    if [ "$got" -ne "$status" ] || ! grep -qF -- "$text" <<<"$output"; then
        echo "FAIL: drawpoker-odds $* gave status $got:"; echo "$output" | head -n 5
        failures=$((failures + 1))
    fi
}
table=$(mktemp); trap 'rm -f "$table"' EXIT

expect 0 "Cards: a rank 2-9" -- --help
expect 2 '"Ax" is not a card' -- hold Ah Kh Qh Jh Ax
expect 2 "Kh is given twice" -- hold Ah Kh Qh Jh Th --removed kh
expect 2 "hold takes exactly five cards, not 4" -- hold Ah Kh Qh Jh
expect 2 'no pay table is called "poker"' -- --table poker return
printf 'royal-flush 800\nfive-aces 3\n' >"$table"
expect 2 "line 2: unknown hand" -- --table-file "$table" hold Ah Kh Qh Jh Th
# A royal flush dealt: keeping it is best and returns exactly 200.
expect 0 " 1  Ah Kh Qh Jh Th  200.000000  200/1" -- hold Ah Kh Qh Jh Th
# With the royal's suit gone, four to it can no longer make it.
expect 0 "6 cards in the deck" -- hold Ah Kh Qh Jh 2c --removed 2h 3h 4h 5h 6h 7h 8h 9h Th 2d 3d 4d 5d 6d 7d 8d 9d Td Jd Qd Kd Ad 2s 3s 4s 5s 6s 7s 8s 9s Ts Js Qs Ks As 3c 4c 5c 6c 7c 8c

echo "$((9 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
