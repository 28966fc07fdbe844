#!/usr/bin/env bash
# Archive benchmarks, side by side with their peers:
#   1. SetData/GetData against raw zlib on the same bytes;
#   2. listing an archive of 20,000 small entries against `unzip -l`;
#   3. `qorzip test` of a ~300 MB archive against `unzip -tq`.
# Data is generated deterministically under /tmp/qorzip-bench-zip (kept between runs).
# Usage: bench/zip/run.sh [BUILD_DIR]   (default: build-bench beside the sources)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="${1:-$source_dir/build-bench}"
data_dir=/tmp/qorzip-bench-zip
mkdir -p "$data_dir"

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
for target in bench_zip qorzip; do
    if ! cmake --build "$build_dir" -j2 --target "$target" >"$data_dir/build.log" 2>&1; then
        echo "Building $target failed; see $data_dir/build.log" >&2
        exit 1
    fi
done
bench="$build_dir/bench/zip/bench_zip"
qorzip="$build_dir/src/app/qorzip"

small="$data_dir/small-20000.zip"
mixed="$data_dir/mixed-3000.zip"
[ -f "$small" ] || "$bench" small "$small" 20000
[ -f "$mixed" ] || "$bench" mixed "$mixed" 3000 400

echo "== SetData / GetData against raw zlib level 6 (best of 3) =="
"$bench" throughput 48
echo

# Wall time in seconds of a command, best of N runs (hyperfine when installed).
measure() {
    local runs=$1
    shift
    if command -v hyperfine >/dev/null; then
        hyperfine -N --style none --runs "$runs" --warmup 1 --export-json "$data_dir/h.json" \
            "$*" >/dev/null 2>&1 || true
        python3 -c "import json;print('%.3f' % json.load(open('$data_dir/h.json'))['results'][0]['min'])"
    else
        local best=999999
        for _ in $(seq "$runs"); do
            local start end
            start=$(date +%s.%N)
            "$@" >/dev/null 2>&1 || true
            end=$(date +%s.%N)
            best=$(python3 -c "print(min($best, $end - $start))")
        done
        printf '%.3f\n' "$best"
    fi
}

row() {
    python3 -c "import sys; a, b = float(sys.argv[2]), float(sys.argv[3]); \
print('%-40s %9.3f s %9.3f s %7.2fx' % (sys.argv[1], a, b, a / b))" "$@"
}

echo "== Command line, wall time (best run) on $(nproc) cores =="
printf '%-40s %11s %11s %8s\n' "task" "qorzip" "unzip" "ratio"
row "list, 20,000 small entries" "$(measure 10 "$qorzip" list "$small")" \
    "$(measure 10 unzip -l "$small")"
row "test, $(du -m "$mixed" | cut -f1) MB in 3,000 mixed entries" "$(measure 3 "$qorzip" test "$mixed")" \
    "$(measure 3 unzip -tq "$mixed")"
