#!/usr/bin/env bash
# "qorzip sync" (plan only) against "rsync -rtn --itemize-changes" on the
# 50,000-tiny-file tree with 1% of the files touched after the archive was
# built. rsync compares the tree with a copy made before the touch (what
# extracting the archive gives: same files, same times); qorzip
# compares the tree with the archive itself. Both must find the same files.
# A second run on half the tree shows how the cost grows with files + entries
# (linear: the entry names are indexed once).
# Reports wall time, CPU time (user + system) and peak memory of each, the
# best of ROUNDS runs (default 5).
# Data lives under /tmp/qorzip-bench-sync and is kept between runs.
# Usage: bench/sync/run.sh [BUILD_DIR] [ROUNDS]   (default: build-sync beside the sources)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="${1:-$source_dir/build-sync}"
rounds="${2:-5}"
data_dir=/tmp/qorzip-bench-sync
mkdir -p "$data_dir"
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (apt-get install time)"; exit 1; }
command -v rsync >/dev/null || { echo "needs rsync (apt-get install rsync)"; exit 1; }

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$source_dir" -B "$build_dir" -G Ninja >/dev/null
fi
cmake --build "$build_dir" -j2 --target qorzip >/dev/null
qorzip="$build_dir/src/app/qorzip"

# shellcheck source=../measure.sh
. "$source_dir/bench/measure.sh"

# One case: a tree of the generator's 50,000 tiny files, or its first half
# of folders; its project (outside the tree), archive and extracted copy.
prepare() {
    local name=$1 folders=$2
    local tree="$data_dir/$name/tree" copy="$data_dir/$name/copy"
    local project="$data_dir/$name/p.qrz" archive="$data_dir/$name/archive.zip"
    if [ ! -f "$archive" ]; then
        rm -rf "$data_dir/$name" "$data_dir/full-gen"
        python3 "$source_dir/bench/zipbuild/gen_tree.py" tiny "$data_dir/full-gen"
        mkdir -p "$tree"
        for d in $(ls "$data_dir/full-gen" | sort | head -n "$folders"); do
            mv "$data_dir/full-gen/$d" "$tree/"
        done
        rm -rf "$data_dir/full-gen"
        printf '[Files]\nRelDir=%s/\nLastZipFile=%s\n[ZipCommands]\nRow[0]=Directory,Filter\nRow[1]=.,*\n' \
            "$tree" "$archive" >"$project"
        # The project file goes into the archive too; the build saves it
        # before archiving it, so the archive holds it as it stays on disk.
        "$qorzip" zip "$project" >/dev/null
        # The extracted copy: the same files with the same times ("qorzip
        # extract" gives the same, but syncs every file to disk and is slow
        # for 50,000 files).
        cp -a "$tree" "$copy"
        # Touch 1% of the files (every 100th in name order).
        (cd "$tree" && find . -type f | sort | awk 'NR % 100 == 0' |
            xargs touch -d '2024-01-01 12:00:00')
    fi
}

run_case() {
    local name=$1
    local tree="$data_dir/$name/tree" copy="$data_dir/$name/copy"
    local project="$data_dir/$name/p.qrz"
    local files
    files=$(find "$tree" -type f | wc -l)
    # Warm the caches so both tools read metadata from memory.
    "$qorzip" sync "$project" >/dev/null
    rsync -rtn --itemize-changes "$tree/" "$copy/" >/dev/null
    # Best of $rounds, the two tools taking turns, so a burst of load on a
    # shared machine hits both alike.
    local qbest="" rbest=""
    for _ in $(seq "$rounds"); do
        qbest=$(keep_best "$qbest" "$(measure "$data_dir/qorzip.out" "$qorzip" sync "$project")")
        rbest=$(keep_best "$rbest" "$(measure "$data_dir/rsync.out" rsync -rtn --itemize-changes "$tree/" "$copy/")")
    done
    read -r qwall qcpu qrss <<<"$qbest"
    read -r rwall rcpu rrss <<<"$rbest"
    local qrows rrows
    qrows=$(grep -c $'\t' "$data_dir/qorzip.out" || true)
    rrows=$(grep -c '^>f' "$data_dir/rsync.out" || true)
    awk -v n="$name" -v f="$files" -v qw="$qwall" -v qc="$qcpu" -v qr="$qrss" -v qn="$qrows" \
        -v rw="$rwall" -v rc="$rcpu" -v rr="$rrss" -v rn="$rrows" 'BEGIN {
        printf "%-6s %7d %-7s %8.2f %8.2f %9.1f %6d\n", n, f, "qorzip", qw, qc, qr / 1024, qn
        printf "%-6s %7d %-7s %8.2f %8.2f %9.1f %6d\n", n, f, "rsync", rw, rc, rr / 1024, rn
        printf "%-6s wall ratio qorzip/rsync %.2f, cpu ratio %.2f (goal <= 0.7)\n", n, qw / rw, qc / rc }'
    echo "$qcpu" >"$data_dir/$name.cpu"
}

prepare full 500
prepare half 250
printf '%-6s %7s %-7s %8s %8s %9s %6s\n' tree files tool wall_s cpu_s peak_MB rows
run_case full
run_case half
awk -v f="$(cat "$data_dir/full.cpu")" -v h="$(cat "$data_dir/half.cpu")" \
    'BEGIN { printf "qorzip cpu full/half %.2f (linear: about 2)\n", f / h }'
