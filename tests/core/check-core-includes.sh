#!/bin/sh
# Fails when a file of the core library (src/core/) includes anything from outside src/core/ (the
# generated build revision aside), a Qt module other than QtCore, or a core folder on a higher
# floor than its own. The floors, lowest first, are the order of src/core/CMakeLists.txt.
# Usage: check-core-includes.sh SRC_DIR "QT_CORE_INCLUDE_DIRS" (a ;-separated list)
src=$1
qtcore=""
for dir in $(printf '%s' "$2" | tr ';' ' '); do
    case $dir in */QtCore) qtcore=$dir ;; esac
done
[ -n "$qtcore" ] && [ -d "$qtcore" ] || { echo "QtCore's include folder not found in: $2"; exit 2; }
floors=$(sed -n 's/^foreach(folder \(.*\))$/\1/p' "$src/core/CMakeLists.txt")
[ -n "$floors" ] || { echo "No floors in $src/core/CMakeLists.txt"; exit 2; }

floor() {  # the position of a core folder in the floors, 0 when it is none of them
    n=1
    for f in $floors; do
        [ "$f" = "$1" ] && { echo $n; return; }
        n=$((n + 1))
    done
    echo 0
}

found=$(mktemp)
trap 'rm -f "$found"' EXIT
for file in $(find "$src/core" -name '*.h' -o -name '*.cpp' | sort); do
    rel=${file#"$src/"}
    own=$(floor "$(echo "$rel" | cut -d/ -f2)")
    grep -n '^[[:space:]]*#[[:space:]]*include' "$file" | while IFS= read -r line; do
        header=$(printf '%s' "$line" | sed -n 's/.*#[[:space:]]*include[[:space:]]*[<"]\([^>"]*\)[>"].*/\1/p')
        case $line in
        *'"'*)
            case $header in
            BuildRevision.h | *.moc) ;;
            core/*)
                target=$(floor "$(echo "$header" | cut -d/ -f2)")
                if [ "$target" -eq 0 ]; then
                    echo "$rel:${line%%:*}: includes $header, which is in no core folder"
                elif [ "$target" -gt "$own" ]; then
                    echo "$rel:${line%%:*}: includes $header from a higher floor"
                fi ;;
            *) echo "$rel:${line%%:*}: includes $header from outside src/core/" ;;
            esac ;;
        *)
            case $header in
            Qt*/*)
                [ "${header%%/*}" = QtCore ] || echo "$rel:${line%%:*}: includes $header, not a QtCore header" ;;
            Q[A-Za-z]*)
                [ "$header" = QtCore ] || [ -f "$qtcore/$header" ] ||
                    echo "$rel:${line%%:*}: includes $header, not a QtCore header" ;;
            esac ;;
        esac
    done
done > "$found"
if [ -s "$found" ]; then
    cat "$found"
    exit 1
fi
echo "Every core include stays in the core, on QtCore, on its own floor or below."
