#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: exactly the expected
# files under /usr with the expected modes, dependencies on the Qt runtime
# found by dpkg-shlibdeps, a maintainer, and a short and a long description.
#
#   package_contents.sh BUILD_DIR EXPECTED_FILES
set -uo pipefail
build=$(readlink -f "$1") expected=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 \
    || { echo "FAIL: cpack failed:"; tail -n 20 "$out/cpack.log"; exit 1; }
package=$(ls "$out"/drawpoker_*.deb 2>/dev/null)
[ -f "$package" ] || { echo "FAIL: no drawpoker_*.deb in $out"; exit 1; }

listing=$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $1, $6 }' | LC_ALL=C sort)
diff <(LC_ALL=C sort "$expected") <(echo "$listing") >/dev/null \
    || fail "the package's files differ from $expected:"$'\n'"$(diff <(LC_ALL=C sort "$expected") <(echo "$listing"))"

depends=$(dpkg-deb -f "$package" Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libqt6multimedia6 libqt6charts6 libqt6sql6 libqt6sql6-sqlite libc6 fonts-liberation2; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ -n "$(dpkg-deb -f "$package" Maintainer)" ] || fail "no Maintainer"
description=$(dpkg-deb -f "$package" Description)
[ "$(wc -l <<<"$description")" -ge 3 ] || fail "no long description: $description"

[ "$failures" -eq 0 ] && echo "$(basename "$package"): $(echo "$listing" | wc -l) files; Depends: $depends"
[ "$failures" -eq 0 ]
