#!/usr/bin/env bash
# Checks that the source folders are layers: a file includes only headers of
# its own layer and the layers below it, and the layers that need no window
# include no Qt header beyond Qt Core. The table*.cpp adapters are the
# table's own code, built with the screens, and may include anything.
#
#   layers.sh SRC_DIR QTCORE_INCLUDE_DIR
set -uo pipefail
qtcore=$2
cd "$1" || exit 2
[ -f "$qtcore/QObject" ] || { echo "layers: no Qt Core headers in $qtcore"; exit 2; }

# The folders each layer may include from.
declare -A allowed=(
    [model]="model"
    [play]="model play"
    [analysis]="model analysis"
    [records]="records"
    [trainer]="model play analysis trainer"
    [platform]="platform model"
    [render]="render platform model"
)
# Layers that link Qt Core alone.
core_only="model play analysis records trainer"

faults=0
fault() { echo "layers: $1"; faults=$((faults + 1)); }

for layer in "${!allowed[@]}"; do
    for file in "$layer"/*.h "$layer"/*.cpp; do
        [ -e "$file" ] || continue
        case "$(basename "$file")" in table*.cpp) continue ;; esac
        while IFS= read -r include; do
            case "$include" in
            \"*/*\")
                folder=${include#\"}; folder=${folder%%/*}
                [[ " ${allowed[$layer]} " == *" $folder "* ]] || fault "$file includes $include"
                ;;
            \<Q*\>)
                # Only Qt Core's own headers, no widget, picture or sound.
                header=${include#<}; header=${header%>}; header=${header#QtCore/}
                [[ " $core_only " == *" $layer "* ]] && [ ! -f "$qtcore/$header" ] \
                    && fault "$file includes $include, which is not Qt Core"
                ;;
            esac
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\(["<][^">]*[">]\).*/\1/p' "$file")
    done
done

[ -f main.cpp ] || fault "main.cpp is missing"
if [ "$faults" -gt 0 ]; then
    echo "layers: $faults wrong-way include(s)"
    exit 1
fi
echo "layers: every include keeps to its layer"
