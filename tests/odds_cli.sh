#!/usr/bin/env bash
# The odds tool's answers to good and bad command lines.
#   odds_cli.sh DRAWPOKER-ODDS
set -u
odds=$1
failures=0
cases=0
expect() { # expect STATUS TEXT -- ARGS...
    local status=$1 text=$2; shift 3
    cases=$((cases + 1))
    local output; output=$(timeout 60 "$odds" "$@" 2>&1); local got=$?
    if [ "$got" -ne "$status" ] || ! grep -qF -- "$text" <<<"$output"; then
        echo "FAIL: drawpoker-odds $* gave status $got:"; echo "$output" | head -n 5 | cut -c1-200
        failures=$((failures + 1))
    fi
}
absent() { # absent TEXT -- ARGS...: the output must not hold TEXT
    local text=$1; shift 2
    cases=$((cases + 1))
    if timeout 60 "$odds" "$@" 2>&1 | grep -qF -- "$text"; then
        echo "FAIL: drawpoker-odds $* says \"$text\""; failures=$((failures + 1))
    fi
}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
table=$work/table

expect 0 "Cards: a rank 2-9" -- --help
expect 2 '"Ax" (card 5 of the hand) is not a card; a card is a rank 2-9' -- hold Ah Kh Qh Jh Ax
# Cards as the trainer writes them; the returns stand in one column.
expect 0 " 2  -- Kh Qh Jh Th    4.893617  230/47" -- hold A♥ K♥ Q♥ J♥ 10♥
expect 2 "Kh is given twice (card 1 after --removed)" -- hold Ah Kh Qh Jh Th --removed kh
expect 2 "hold takes exactly five cards, not 4" -- hold Ah Kh Qh Jh
# A royal flush dealt: keeping it is best and returns exactly 200.
expect 0 " 1  Ah Kh Qh Jh Th  200.000000  200/1" -- hold Ah Kh Qh Jh Th
# With the royal's suit gone, four to it can no longer make it.
expect 0 "6 cards in the deck" -- hold Ah Kh Qh Jh 2c --removed 2h 3h 4h 5h 6h 7h 8h 9h Th 2d 3d 4d 5d 6d 7d 8d 9d Td Jd Qd Kd Ad 2s 3s 4s 5s 6s 7s 8s 9s Ts Js Qs Ks As 3c 4c 5c 6c 7c 8c

# The command line: options before or after the command, each fault named.
expect 0 " 1  Ah Kh Qh Jh Th  800.000000  800/1" -- hold Ah Kh Qh Jh Th --table jacks-9-6
expect 2 'return takes no words after it, but "foo" was given' -- return foo
expect 2 'the pay table is given twice: --table "game" and --table' -- --table game return --table jacks-9-6
expect 2 "--removed needs at least one card after it" -- hold Ah Kh Qh Jh Th --removed
expect 2 "--removed belongs to hold, not to return" -- return --removed 2c
# The strategy chart: its cards for a hand, its figures for a table, and
# its words refused elsewhere.
expect 2 "--short belongs to strategy, not to return" -- return --short
expect 2 "--hand takes exactly five cards, not 4" -- strategy --hand Ah Kh Qh Jh
expect 2 "strategy takes no words after it" -- strategy Ah
expect 0 "best play 99.543904%" -- strategy --table jacks-9-6 --short
expect 0 "Jc Jd" -- strategy --hand 2c 3s Jc Jd Qh --table jacks-9-6 --short
expect 2 'no pay table is called "poker"; the tables are game, jacks-9-6, jacks-8-5' -- --table poker return
expect 2 'unknown command "foo": expected hold, return, simulate or strategy' -- foo
expect 2 'unknown option "--fast"' -- return --fast
expect 2 'unknown option "-x"' -- -x return
expect 2 '--hands takes a whole number from 1 to' -- simulate --hands 0

# Pay-table files.
printf 'royal-flush 800\nfive-aces 3\n' >"$table"
expect 2 'line 2: unknown hand "five-aces"; the hands are royal-flush, straight-flush' -- --table-file "$table" return
printf 'flush 6\nroyal-flush 800\nflush 5\n' >"$table"
expect 2 "line 3: flush is given twice, first on line 1" -- return --table-file "$table"
printf '# nothing here\n\n' >"$table"
expect 2 "no pays" -- --table-file "$table" return
printf 'royal-flush 800 extra\n' >"$table"
expect 2 'line 1: unexpected "extra" after the pay' -- --table-file "$table" return
printf 'royal-flush 8\0000\n' >"$table"
expect 2 "line 1: a NUL character" -- --table-file "$table" return
{ printf 'flush '; head -c 100000 /dev/zero | tr '\0' 9; echo; } >"$table"
expect 2 'the pay must be a whole number from 0 to 100000: "flush 9999999999999999999999999999999999..."' -- --table-file "$table" return
head -c 2000000 /dev/zero | tr '\0' '#' >"$table"
expect 2 "it is larger than 1 MiB" -- --table-file "$table" return
expect 2 "it is larger than 1 MiB" -- --table-file /dev/zero return
expect 2 "it is a folder" -- --table-file "$work" return
# A FIFO that nobody writes to reads as empty rather than waiting for ever.
mkfifo "$work/fifo"
expect 2 "no pays" -- --table-file "$work/fifo" return

# The whole game: no row for a hand the table does not pay for, and each
# chance also as "1 in".
expect 0 "royal flush                     254981400   0.00001279    1 in 78,175" -- return
absent "paying pair" -- return
expect 0 "paying pair                 4277372890968   0.21458503       1 in 4.7" -- --table jacks-9-6 return

# The simulated game.
expect 0 "difference, same decks" -- simulate --hands 200 --threads 1
expect 0 "a fresh deck for every hand" -- --reshuffle-every-hand simulate --hands 2000 --seed 5
# The chart and its count rules play the same decks; their options are
# checked like the others.
expect 0 "count rules over the chart" -- simulate --hands 3000 --play chart,count
absent "on a fresh deck" -- simulate --hands 3000 --play deck,chart
expect 2 '--play takes deck, fresh, chart, count, joined by commas, not "cards"' -- simulate --play deck,cards
expect 2 "--count-rules changes the full chart, and takes neither --short nor --hand" -- strategy --count-rules --short
expect 2 "--hands belongs to simulate, not to strategy" -- strategy --hands 5

# The same seed and number of hands give the same figures on any number of
# threads (the first line names the count), and by default the tool uses
# the CPUs it may run on.
figures() { "$odds" simulate --hands 3000 --seed 4 --threads "$1" 2>/dev/null | tail -n +2; }
cases=$((cases + 1))
if [ "$(figures 1)" != "$(figures 2)" ] || [ -z "$(figures 1)" ]; then
    echo "FAIL: simulate --seed 4 gave other figures on 2 threads than on 1:"; diff <(figures 1) <(figures 2)
    failures=$((failures + 1))
fi
if command -v taskset >/dev/null; then
    cases=$((cases + 1))
    if ! taskset -c 0 "$odds" simulate --hands 100 2>/dev/null | grep -qF "1 thread;"; then
        echo "FAIL: simulate under taskset -c 0 did not default to 1 thread"
        failures=$((failures + 1))
    fi
fi

echo "$((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
