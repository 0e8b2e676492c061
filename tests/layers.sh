#!/usr/bin/env bash
# Checks that the source folders are layers, from what the compiler really
# read: the dependency file it wrote beside each object names every header
# a source file included, however the include was written. A library's
# sources sit in its own folder, include only headers of its own layer and
# the layers below it, and the layers that need no window include nothing
# of Qt beyond the modules named for them. Every folder under src/ must be
# a layer of the table below.
#
#   layers.sh SRC_DIR QTCORE_INCLUDE_DIR LAYER=OBJECT:OBJECT:... ...
set -uo pipefail
src=$(realpath "$1")
qt=$(dirname "$(realpath "$2")")
shift 2
[ -d "$qt/QtCore" ] || { echo "layers: no Qt Core headers in $qt"; exit 2; }

# Each layer: the folders it may include from, its own first, and after
# the colon the Qt modules it may include. "main" is
# src/main.cpp.
declare -A layers=(
    [model]="model : QtCore"
    [play]="play model : QtCore"
    [analysis]="analysis model : QtCore"
    [records]="records : QtCore"
    [trainer]="trainer play analysis model : QtCore"
    [history]="history model : QtCore QtSql"
    [platform]="platform model : QtCore QtGui QtWidgets QtSvg"
    [sound]="sound platform : QtCore QtGui QtMultimedia"
    [render]="render platform model : QtCore QtGui QtWidgets QtSvg"
    [screens]="screens render platform history trainer play analysis records model : QtCore QtGui QtWidgets"
    [charts]="charts screens history model : QtCore QtGui QtWidgets QtCharts"
    [main]="screens render platform history trainer play analysis records model : QtCore QtGui QtWidgets"
)

faults=0
fault() { echo "layers: $1"; faults=$((faults + 1)); }

for folder in "$src"/*/; do
    name=$(basename "$folder")
    [ -n "${layers[$name]+set}" ] || fault "src/$name/ is no layer: give it a row in the layer table"
done

# The files a dependency file names, the source first, one a line, with
# links and ".." resolved.
dependencies() {
    sed -e 's/\\$//' -e 's/^[^:]*: *//' "$1" | tr -s ' \t' '\n\n' | sed '/^$/d' | xargs realpath -m --
}

checked=0
for argument in "$@"; do
    layer=${argument%%=*}
    IFS=: read -r -a objects <<<"${argument#*=}"
    [ -n "${layers[$layer]+set}" ] || { fault "no layer table row for the library $layer"; continue; }
    folders=" ${layers[$layer]%%:*}"
    modules="${layers[$layer]#*:} "
    for object in "${objects[@]}"; do
        depfile=$object.d
        [ -f "$depfile" ] || { fault "no dependency file $depfile: build before checking"; continue; }
        checked=$((checked + 1))
        source=""
        unset told
        declare -A told=()
        while IFS= read -r path; do
            if [ -z "$source" ]; then
                source=$path
                case "$source" in
                "$src"/*)
                    rel=${source#"$src"/}
                    home=${rel%%/*}
                    [ "$rel" = main.cpp ] && home=main
                    [ "$home" = "$layer" ] || fault "${rel} is built into the $layer library but sits in ${home}"
                    ;;
                esac
                shown=${source#"$src"/}
                continue
            fi
            case "$path" in
            "$src"/*)
                rel=${path#"$src"/}
                folder=${rel%%/*}
                [[ "$folders" == *" $folder "* ]] \
                    || fault "$shown ($layer) includes src/$rel, of the $folder layer"
                ;;
            "$qt"/Qt*/*)
                module=${path#"$qt"/}
                module=${module%%/*}
                # One fault a module: its first header names it.
                if [[ "$modules" != *" $module "* ]] && [ -z "${told[$module]+set}" ]; then
                    told[$module]=1
                    fault "$shown ($layer) includes ${path#"$qt"/}, of $module, which is not among the modules of the layer:${modules% }"
                fi
                ;;
            esac
        done < <(dependencies "$depfile")
    done
done

[ "$checked" -gt 0 ] || fault "no object to check: build before checking"
if [ "$faults" -gt 0 ]; then
    echo "layers: $faults fault(s) in $checked compiled files"
    exit 1
fi
echo "layers: the $checked compiled files keep to their layers"
