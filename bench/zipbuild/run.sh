#!/usr/bin/env bash
# "qorzip zip" against Info-ZIP "zip -r -6 -q" on the same working trees:
#   large: ~300 MB in a few hundred files (text, random data, two 50 MB files);
#   tiny:  50,000 tiny files.
# Reports wall time, CPU time (user + system) and peak memory of each, the
# archive sizes, and the ratios the goals name (qorzip wall <= 0.6 x zip on
# the large tree, <= 0.8 x on the tiny one; peak memory <= archive + 64 MB).
# Trees are generated deterministically under /tmp/qorzip-bench-zipbuild and
# kept between runs.
# Usage: bench/zipbuild/run.sh [BUILD_DIR]   (default: build-bench beside the sources)
# Environment: REPEAT=N runs each tool N times and keeps its fastest run
# (the machine may be shared); SHAPES="tiny" picks the trees;
# QORZIP_BEFORE=/path/to/qorzip also measures an earlier build as "before".
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="${1:-$source_dir/build-bench}"
data_dir=/tmp/qorzip-bench-zipbuild
mkdir -p "$data_dir"
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (apt-get install time)"; exit 1; }
command -v zip >/dev/null || { echo "needs Info-ZIP zip (apt-get install zip)"; exit 1; }

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build_dir" -j2 --target qorzip >/dev/null
qorzip="$build_dir/src/app/qorzip"

for shape in large tiny; do
    [ -d "$data_dir/$shape" ] || python3 "$source_dir/bench/zipbuild/gen_tree.py" "$shape" "$data_dir/$shape"
done

# shellcheck source=../measure.sh
. "$source_dir/bench/measure.sh"

# best_of ARCHIVE COMMAND...: runs "measure /dev/null COMMAND" REPEAT times, each time
# on a fresh ARCHIVE, and prints the line of the fastest run.
best_of() {
    local archive=$1 best="" line
    shift
    for ((run = 0; run < ${REPEAT:-1}; ++run)); do
        rm -f "$archive"
        line=$(measure /dev/null "$@")
        if [ -z "$best" ] || awk -v a="$line" -v b="$best" 'BEGIN { split(a, x, " "); split(b, y, " "); exit !(x[1] < y[1]) }'; then
            best=$line
        fi
    done
    echo "$best"
}

# A project selecting every file of the tree, kept beside it.
make_project() {
    local tree=$1 project=$2
    printf '[Files]\nRelDir=%s/\n[ZipCommands]\nRow[0]=Directory,Filter\nRow[1]=.,*\n' "$tree" >"$project"
}

printf '%-6s %-8s %8s %8s %10s %10s\n' tree tool wall_s cpu_s peak_MB archive_MB
for shape in ${SHAPES:-large tiny}; do
    tree="$data_dir/$shape"
    project="$data_dir/$shape.qrz"
    make_project "$tree" "$project"
    sync
    rm -f "$data_dir/$shape-zip.zip" "$data_dir/$shape-qorzip.zip"
    # Warm the page cache so both tools read from memory.
    cat $(find "$tree" -type f | head -100000) >/dev/null 2>&1 || true
    read -r zwall zcpu zrss < <(cd "$tree" && best_of "$data_dir/$shape-zip.zip" zip -r -6 -q "$data_dir/$shape-zip.zip" .)
    if [ -n "${QORZIP_BEFORE:-}" ]; then
        read -r bwall bcpu brss < <(best_of "$data_dir/$shape-before.zip" "$QORZIP_BEFORE" zip "$project" --output "$data_dir/$shape-before.zip")
        awk -v s="$shape" -v w="$bwall" -v c="$bcpu" -v r="$brss" -v z="$(stat -c %s "$data_dir/$shape-before.zip")" \
            'BEGIN { printf "%-6s %-8s %8.2f %8.2f %10.1f %10.1f\n", s, "before", w, c, r / 1024, z / 1048576 }'
    fi
    read -r qwall qcpu qrss < <(best_of "$data_dir/$shape-qorzip.zip" "$qorzip" zip "$project" --output "$data_dir/$shape-qorzip.zip")
    zsize=$(stat -c %s "$data_dir/$shape-zip.zip")
    qsize=$(stat -c %s "$data_dir/$shape-qorzip.zip")
    awk -v s="$shape" -v zw="$zwall" -v zc="$zcpu" -v zr="$zrss" -v zs="$zsize" \
        -v qw="$qwall" -v qc="$qcpu" -v qr="$qrss" -v qs="$qsize" 'BEGIN {
        printf "%-6s %-8s %8.2f %8.2f %10.1f %10.1f\n", s, "zip", zw, zc, zr / 1024, zs / 1048576
        printf "%-6s %-8s %8.2f %8.2f %10.1f %10.1f\n", s, "qorzip", qw, qc, qr / 1024, qs / 1048576
        goal = (s == "large") ? 0.6 : 0.8
        printf "%-6s wall ratio qorzip/zip %.2f (goal <= %.1f); peak - archive = %.1f MB (goal <= 64)\n",
            s, qw / zw, goal, qr / 1024 - qs / 1048576 }'
done
