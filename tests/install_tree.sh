#!/usr/bin/env bash
# Installs the build into a staging folder as a package would (prefix /usr)
# and checks what lands there: exactly the expected files with the expected
# modes, icons of the right sizes that still look like the game's emblem, a
# valid menu entry and software-centre metadata, and manual pages that render
# without warnings.
#
#   install_tree.sh BUILD_DIR STAGE_DIR EXPECTED_FILES EMBLEM.xpm VERSION
set -uo pipefail
build=$1 stage=$2 expected=$3 emblem=$4 version=$5
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null || { echo "FAIL: the install failed"; exit 1; }

listing=$(cd "$stage" && find . -type f -printf '%M %P\n' | LC_ALL=C sort)
diff <(LC_ALL=C sort "$expected") <(echo "$listing") >/dev/null \
    || fail "the installed files differ from $expected:"$'\n'"$(diff <(LC_ALL=C sort "$expected") <(echo "$listing"))"

icons=$stage/usr/share/icons/hicolor
for size in 16 24 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$icons/${size}x${size}/apps/drawpoker.png" 2>&1)
    [ "$got" = "${size}x${size}" ] || fail "the ${size} px icon is $got"
done
# Drawn from the emblem: at its own 32 x 32 pixels the icon may differ from
# it only along antialiased edges and in the rounded corners.
differing=$(convert "$icons/32x32/apps/drawpoker.png" -background black -flatten png24:- \
    | compare -metric AE -fuzz 50% "$emblem" - null: 2>&1)
[ "$differing" -le 16 ] 2>/dev/null || fail "the 32 px icon differs from the emblem in $differing of 1024 pixels"

entry=$stage/usr/share/applications/io.github.drawpoker.DrawPoker.desktop
output=$(desktop-file-validate "$entry" 2>&1) && [ -z "$output" ] || fail "desktop-file-validate: $output"
launcher=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$stage$launcher" ] || fail "the menu entry starts $launcher, which is not an installed program"

metainfo=$stage/usr/share/metainfo/io.github.drawpoker.DrawPoker.metainfo.xml
# With the network allowed, so that an address that does not exist fails.
output=$(appstreamcli validate "$metainfo" 2>&1) || fail "appstreamcli validate: $output"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the metainfo names no licence"

# The package's copyright file in Debian's machine-readable format, and the
# licence it names beside the sources.
copyright=$stage/usr/share/doc/drawpoker/copyright
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "the copyright file is not in Debian's format"
grep -qx 'License: GPL-3+' "$copyright" || fail "the copyright file names no GPL-3+ licence"
cmp -s "$(dirname "$expected")/../LICENSE" /usr/share/common-licenses/GPL-3 || fail "LICENSE is not the GPL version 3"
newest=$(grep -o -m 1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the newest release in the metainfo is $newest, the program is $version"

for page in drawpoker.6.gz drawpoker-odds.6.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$stage/usr/share/man/man6/$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page: $warnings"
    MANWIDTH=80 man -l "$stage/usr/share/man/man6/$page" 2>/dev/null | grep -q '^EXIT STATUS' \
        || fail "man $page has no EXIT STATUS section"
done

[ "$failures" -eq 0 ] && echo "installed $(echo "$listing" | wc -l) files into $stage; all checks passed"
[ "$failures" -eq 0 ]
