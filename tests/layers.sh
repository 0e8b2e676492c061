#!/usr/bin/env bash
# The layer check and the README's layer table, both from src/layers.txt,
# the one list of the layers.
#
#   layers.sh check BUILD_DIR QTCORE_INCLUDE_DIR [--ninja NINJA] LIBRARY=OBJECT:OBJECT:... ...
#   layers.sh readme
#
# "check" reads what the compiler really read, however an include was
# written: the dependency file the compiler wrote beside each object, or
# under Ninja, which folds those files into its log and deletes them, what
# "ninja -t deps" reports. A file sits in the folder of its library and
# includes only headers of its own row and the rows it may include, and Qt
# headers of its row's modules alone. Every folder under src/ has a row, and
# the README's layer table is the one the list makes.
# "readme" writes that table into README.md.
set -uo pipefail
root=$(realpath "$(dirname "${BASH_SOURCE[0]}")/..")
src=$root/src
list=$src/layers.txt
readme=$root/README.md
table_start='<!-- The layer table, made from src/layers.txt by: bash tests/layers.sh readme -->'
table_end='<!-- End of the layer table -->'

# The rows of the list, one a line, tab-separated: the row, the rows it may
# include, its Qt modules, what it holds.
rows() {
    awk -F'|' '
        /^[ \t]*(#|$)/ { next }
        NF != 4 {
            printf "layers: line %d of src/layers.txt has %d columns, not 4\n", FNR, NF
            bad = 1
            next
        }
        {
            for (i = 1; i <= NF; i++) {
                gsub(/^[ \t]+|[ \t]+$/, "", $i)
                gsub(/[ \t]+/, " ", $i)
            }
            print $1 "\t" $2 "\t" $3 "\t" $4
        }
        END { exit bad }' "$list"
}

# The README's layer table, from the rows.
table() {
    awk -F'\t' '
        function listed(words) {
            gsub(/ /, ", ", words)
            return words == "" ? "—" : words
        }
        BEGIN {
            print "| row | holds | may include | Qt modules |"
            print "|---|---|---|---|"
        }
        { printf "| `%s` | %s | %s | %s |\n", $1, $4, listed($2), listed($3) }' "$1"
}

# The README with its layer table replaced by the one in the file given.
readme_with_table() {
    awk -v start="$table_start" -v end="$table_end" '
        FILENAME == ARGV[1] { table = table $0 "\n"; next }
        $0 == end { inside = 0 }
        !inside { print }
        $0 == start { printf "%s", table; inside = 1 }' "$1" "$readme"
}

has_table_place() {
    grep -qxF "$table_start" "$readme" && grep -qxF "$table_end" "$readme"
}
no_table_place="README.md has no place for the layer table: the lines $table_start and $table_end"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rows >"$work/rows" || { cat "$work/rows"; exit 2; }
table "$work/rows" >"$work/table"

case "${1:-}" in
readme)
    has_table_place || { echo "layers: $no_table_place"; exit 2; }
    readme_with_table "$work/table" >"$work/readme" && cat "$work/readme" >"$readme"
    exit
    ;;
check) ;;
*)
    echo "usage: layers.sh check BUILD_DIR QTCORE_INCLUDE_DIR [--ninja NINJA] LIBRARY=OBJECT:... ... | layers.sh readme" >&2
    exit 2
    ;;
esac

build=$(realpath "$2")
qt=$(dirname "$(realpath "$3")")
shift 3
[ -d "$qt/QtCore" ] || { echo "layers: no Qt Core headers in $qt"; exit 2; }
ninja=""
if [ "${1:-}" = --ninja ]; then
    ninja=$2
    shift 2
fi

faults=0
fault() { echo "layers: $1"; faults=$((faults + 1)); }

declare -A is_row=()
while IFS=$'\t' read -r row _; do
    is_row[$row]=1
    [ -e "$src/$row" ] || fault "src/layers.txt has a row for src/$row, which does not exist"
done <"$work/rows"
for folder in "$src"/*/; do
    name=$(basename "$folder")
    [ -n "${is_row[$name]+set}" ] || fault "src/$name/ is no layer: give it a row in src/layers.txt"
done

if ! has_table_place; then
    fault "$no_table_place"
elif ! readme_with_table "$work/table" | cmp -s - "$readme"; then
    fault "the layer table in README.md is not the one src/layers.txt makes: run bash tests/layers.sh readme"
    readme_with_table "$work/table" | diff -u --label README.md --label "made from src/layers.txt" "$readme" - | sed 's/^/    /'
fi

# The objects, one "library<TAB>object" a line, their paths resolved to
# match the ones the dependencies name.
for argument in "$@"; do
    IFS=: read -r -a objects <<<"${argument#*=}"
    for object in "${objects[@]}"; do
        printf '%s\t%s\n' "${argument%%=*}" "$object"
    done
done >"$work/given"
cut -f2 "$work/given" | xargs -r -d '\n' realpath -m -- | paste <(cut -f1 "$work/given") - >"$work/objects"

# Every object's dependencies, one "object<TAB>path" a line, its source first.
if [ -n "$ninja" ]; then
    missing="Ninja keeps them in its log, $build/.ninja_deps, once it has built the object"
    "$ninja" -C "$build" -t deps >"$work/log" || fault "$ninja -C $build -t deps failed"
    awk -v build="$build" '
        function absolute(path) { return path ~ /^\// ? path : build "/" path }
        /^[^ ].*: #deps / { object = $0; sub(/: #deps .*/, "", object); object = absolute(object); next }
        /^    / { print object "\t" absolute(substr($0, 5)) }' "$work/log" >"$work/dependencies"
else
    missing="the compiler writes them beside each object, in OBJECT.d, as it builds it"
    depfiles=()
    while IFS=$'\t' read -r _ object; do
        [ -f "$object.d" ] && depfiles+=("$object.d")
    done <"$work/objects"
    [ ${#depfiles[@]} -eq 0 ] || awk '
        FNR == 1 { object = FILENAME; sub(/\.d$/, "", object); sub(/^[^:]*:/, "") }
        { sub(/\\$/, ""); for (i = 1; i <= NF; i++) print object "\t" $i }' "${depfiles[@]}" >"$work/dependencies"
fi
touch "$work/dependencies"

# Each path named, with links and ".." resolved: "path<TAB>real path".
cut -f2 "$work/dependencies" | sort -u >"$work/paths"
xargs -r -d '\n' realpath -m -- <"$work/paths" >"$work/resolved"
paste "$work/paths" "$work/resolved" >"$work/real"

awk -F'\t' -v src="$src" -v qt="$qt" -v build="$build" -v faults="$faults" \
    -v missing="$missing" -v rebuild="cmake --build $build" '
    function fault(message) { print "layers: " message; faults++ }
    function library(row) { sub(/\/.*/, "", row); return row }
    # The row of a path under src/: the longest row that is the path or a
    # folder above it.
    function rowOf(rel) {
        while (!(rel in allowed)) {
            if (index(rel, "/") == 0) return ""
            sub(/\/[^\/]*$/, "", rel)
        }
        return rel
    }
    # What an object may include: the rules of the row of its source, or for
    # a source the build generated, as moc does, those of all its library.
    function source(object, path,   lib, rel, row) {
        checked++
        lib = libraryOf[object]
        if (index(path, src "/") != 1) {
            shown[object] = index(path, build "/") == 1 ? substr(path, length(build) + 2) : path
            who[object] = lib
            mayInclude[object] = libraryAllowed[lib]
            mayUse[object] = libraryModules[lib]
            return
        }
        rel = substr(path, length(src) + 2)
        row = rowOf(rel)
        if (row == "") {
            fault(rel " is in no row of src/layers.txt")
            row = lib
        } else if (library(row) != lib) {
            fault(rel " is built into the " lib " library but sits in " row)
        }
        shown[object] = rel
        who[object] = row
        mayInclude[object] = allowed[row]
        mayUse[object] = modules[row]
    }
    FILENAME == ARGV[1] {
        allowed[$1] = " " $1 " " $2 " "
        modules[$1] = " " $3 " "
        includes[$1] = $2
        libraryAllowed[library($1)] = libraryAllowed[library($1)] allowed[$1]
        libraryModules[library($1)] = libraryModules[library($1)] modules[$1]
        next
    }
    FILENAME == ARGV[2] {
        if (!($1 in allowed)) {
            if (!($1 in unknown)) fault("no row in src/layers.txt for the library " $1)
            unknown[$1] = 1
        } else if (library($1) != $1) {
            fault("the library " $1 " is a sub-folder: only top folders are libraries")
        } else {
            libraryOf[$2] = $1
            objects[++count] = $2
        }
        next
    }
    FILENAME == ARGV[3] { real[$1] = $2; next }
    !($1 in libraryOf) { next }
    {
        object = $1
        path = real[$2]
        if (!(object in who)) { source(object, path); next }
        if (index(path, src "/") == 1) {
            rel = substr(path, length(src) + 2)
            row = rowOf(rel)
            if (row == "")
                fault(shown[object] " (" who[object] ") includes src/" rel ", which is in no row of src/layers.txt")
            else if (index(mayInclude[object], " " row " ") == 0)
                fault(shown[object] " (" who[object] ") includes src/" rel ", of the " row " layer")
        } else if (index(path, qt "/Qt") == 1) {
            module = substr(path, length(qt) + 2)
            sub(/\/.*/, "", module)
            # One fault a module: its first header names it.
            if (index(mayUse[object], " " module " ") == 0 && !((object, module) in told)) {
                told[object, module] = 1
                fault(shown[object] " (" who[object] ") includes " substr(path, length(qt) + 2) ", of " module \
                      ", which is not among the modules of the layer:" substr(mayUse[object], 1, length(mayUse[object]) - 1))
            }
        }
    }
    END {
        for (row in includes) {
            n = split(includes[row], names, " ")
            for (i = 1; i <= n; i++)
                if (!(names[i] in allowed))
                    fault("in src/layers.txt " row " may include " names[i] ", which has no row")
        }
        for (i = 1; i <= count; i++)
            if (!(objects[i] in who)) unread[++absent] = objects[i]
        if (absent > 0 && absent == count) {
            fault("no dependencies to read for any of the " count " objects: " missing \
                  "; build (" rebuild ") before checking")
        } else {
            for (i = 1; i <= absent; i++)
                fault("no dependencies to read for " unread[i] ": " missing "; build (" rebuild ") before checking")
        }
        if (faults > 0) {
            printf "layers: %d fault(s) in %d compiled files\n", faults, checked
            exit 1
        }
        printf "layers: the %d compiled files keep to their layers\n", checked
    }' "$work/rows" "$work/objects" "$work/real" "$work/dependencies"
