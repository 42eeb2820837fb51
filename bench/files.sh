#!/usr/bin/env bash
# Times the file forms as whole processes, side by side with LibreOffice Calc and the sqlite3
# shell, on the 1,000,000 x 10 files of gen_files: medians of several runs, peak resident memory,
# and the ratios. Needs a release build with the benchmarks; the peers are optional (apt install
# libreoffice-calc-nogui sqlite3 time).
#
#   bench/files.sh [BUILD_DIR] [RUNS]        (defaults: build/files-rel 5)
set -euo pipefail
build=${1:-build/files-rel}
runs=${2:-5}
convert=$build/src/pellumar-convert
data=$build/bench-data
mkdir -p "$data"
[ -x "$convert" ] || { echo "build $convert first (Release)" >&2; exit 1; }
[ -f "$data/big.csv" ] || "$build/bench/gen_files" "$data"
csv_mb=$(awk -v b="$(stat -c %s "$data/big.csv")" 'BEGIN { printf "%.1f", b / 1e6 }')

# measure NAME RUNS COMMAND...: prints "NAME median-seconds peak-MB" and remembers the median.
declare -A secs rss
measure() {
    local name=$1 n=$2
    shift 2
    local times=() mems=()
    for ((i = 0; i < n; i++)); do
        /usr/bin/time -f "%e %M" -o "$data/time.out" "$@" > /dev/null 2>&1
        read -r t m < "$data/time.out"
        times+=("$t")
        mems+=("$m")
    done
    secs[$name]=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
    rss[$name]=$(printf '%s\n' "${mems[@]}" | sort -g | awk '{ a[NR] = $1 } END { printf "%.0f", a[NR] / 1024 }')
    printf '%-44s %7.2f s %7s MB peak\n' "$name" "${secs[$name]}" "${rss[$name]}"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

echo "big.csv: $csv_mb MB, 1,000,000 records x 10 columns; medians of $runs runs (peers: fewer)"
measure "pellumar-convert big.csv out.csv" "$runs" "$convert" "$data/big.csv" "$data/out.csv"
cmp -s "$data/big.csv" "$data/out.csv" || echo "  (out.csv differs from big.csv!)"
measure "pellumar-convert big.tsv out.tsv" "$runs" "$convert" "$data/big.tsv" "$data/out.tsv"
measure "pellumar-convert big.csv big.plm" "$runs" "$convert" "$data/big.csv" "$data/big.plm"
measure "pellumar-convert big.plm out.csv" "$runs" "$convert" "$data/big.plm" "$data/out.csv"
cmp -s "$data/big.csv" "$data/out.csv" || echo "  (out.csv differs from big.csv!)"
plm_mb=$(awk -v b="$(stat -c %s "$data/big.plm")" 'BEGIN { printf "%.1f", b / 1e6 }')
echo "native file: $plm_mb MB (CSV $csv_mb MB)"
echo "peak resident / CSV size: $(ratio "${rss[pellumar-convert big.csv out.csv]}" "$csv_mb")"

peers=$(( runs < 3 ? runs : 3 ))
if command -v sqlite3 > /dev/null; then
    rm -f "$data/sqlite-out.csv"
    measure "sqlite3 .import --csv + CSV export" "$peers" sqlite3 :memory: \
        ".import --csv $data/big.csv t" ".headers on" ".mode csv" \
        ".once $data/sqlite-out.csv" "SELECT * FROM t;"
    echo "  pellumar-convert is $(ratio "${secs[sqlite3 .import --csv + CSV export]}" "${secs[pellumar-convert big.csv out.csv]}")x as fast as sqlite3 (target 2x)"
fi
if command -v soffice > /dev/null; then
    mkdir -p "$data/lo"
    measure "soffice --headless --convert-to csv" "$peers" soffice --headless \
        "-env:UserInstallation=file://$PWD/$data/lo-profile" --convert-to csv \
        --outdir "$data/lo" "$data/big.csv"
    echo "  pellumar-convert is $(ratio "${secs[soffice --headless --convert-to csv]}" "${secs[pellumar-convert big.csv out.csv]}")x as fast as LibreOffice (target 20x)"
    echo "  LibreOffice peak resident / CSV size: $(ratio "${rss[soffice --headless --convert-to csv]}" "$csv_mb")"
fi
