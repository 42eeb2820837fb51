#!/usr/bin/env bash
# Peak memory of loads: runs pellumar-convert on each file of gen_shapes and prints the file's
# size, the peak resident memory of the whole process, the bound (three times the file, plus
# eight bytes a filled cell, plus 64 MB; filled cells counted by the converter's output), the
# exit status and the converter's message. Needs a release build with the benchmarks.
#
#   bench/memory.sh [BUILD_DIR]        (default: build/release)
set -uo pipefail
build=${1:-build/release}
convert=$build/src/pellumar-convert
data=$build/bench-shapes
mkdir -p "$data"
[ -x "$convert" ] || { echo "build $convert first (Release)" >&2; exit 1; }
[ -f "$data/utf16.txt" ] || "$build/bench/gen_shapes" "$data" || exit 1

printf '%-20s %8s %9s %6s  %s\n' file MB "peak MB" status message
# A name with ">plm" is loaded and saved again as a native file; other native files are loaded
# and written as comma text, text files are saved as native files.
[ -f "$data/styled-cols.plm" ] || "$build/bench/gen_shapes" "$data" || exit 1
for f in wide-4mb.csv wide-8mb.csv zeros-40mb.plm commas-10m.csv tall-300.csv dense.csv \
    empty-cols.csv blank-lines.csv ragged.csv huge-field.csv scatter.csv utf16.txt \
    runs-40m.plm 'runs-40m.plm>plm' heights-38m.plm 'heights-38m.plm>plm' styled-cols.plm \
    'styled-cols.plm>plm' titles-65536.csv; do
    case $f in
        *'>plm') f=${f%>plm} out=$data/out.plm ;;
        *.plm) out=$data/out.csv ;;
        *) out=$data/out.plm ;;
    esac
    in=$data/$f
    /usr/bin/time -f "%M" -o "$data/time.out" "$convert" "$in" "$out" 2> "$data/err.out" > /dev/null
    status=$?
    peak=$(tail -n 1 "$data/time.out")
    msg=$(grep -v '^Command exited' "$data/err.out" | head -n 1 | sed "s|$data/||g")
    printf '%-20s %8.1f %9.0f %6s  %s\n' "$f>${out##*.}" "$(awk -v b="$(stat -c %s "$in")" 'BEGIN { print b / 1e6 }')" \
        "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" "$status" "${msg:0:110}"
    rm -f "$out"
done
