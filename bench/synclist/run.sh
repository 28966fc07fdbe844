#!/usr/bin/env bash
# The sync list window with every file of the 50,000-tiny-file tree differing
# from its entry (50,000 rows), beside the command line's plan of the same
# comparison ("qorzip sync", plan only), in one run.
#   qorzip sync      : load the archive, compare, print the plan (wall time of the process)
#   bench_synclist   : load the archive, compare, fill the window, fit the widths,
#                      show and paint it; then scrolling, and the space key and
#                      the operation button on a selection of all rows
# Goal: load + compare + fill + fit + show <= 2 x the plan's wall time;
# scrolling and the changes of all rows immediate (well under 100 ms).
# Runs under xvfb-run when it is there (a real X server), else offscreen.
# Data lives under /tmp/qorzip-bench-synclist and is kept between runs.
# Usage: bench/synclist/run.sh [BUILD_DIR]   (default: build-synclist beside the sources)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="${1:-$source_dir/build-synclist}"
data_dir=/tmp/qorzip-bench-synclist
mkdir -p "$data_dir"
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (apt-get install time)"; exit 1; }

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build_dir" -j2 --target qorzip bench_synclist >/dev/null
qorzip="$build_dir/src/app/qorzip"
bench="$build_dir/bench/synclist/bench_synclist"

# shellcheck source=../measure.sh
. "$source_dir/bench/measure.sh"

tree="$data_dir/tree" project="$data_dir/p.qrz" archive="$data_dir/archive.zip"
if [ ! -f "$data_dir/tree.complete" ]; then
    rm -rf "$tree" "$archive"
    python3 "$source_dir/bench/zipbuild/gen_tree.py" tiny "$tree"
    touch "$data_dir/tree.complete"
fi
if [ ! -f "$archive" ]; then
    printf '[Files]\nRelDir=%s/\nLastZipFile=%s\n[ZipCommands]\nRow[0]=Directory,Filter\nRow[1]=.,*\n' \
        "$tree" "$archive" >"$project"
    touch -d '2020-09-13 12:26:40' "$project"
    "$qorzip" zip "$project" >/dev/null
    touch -d '2020-09-13 12:26:40' "$project"
    # Every file is newer than its entry: one "=>" row each.
    find "$tree" -type f -print0 | xargs -0 touch -d '2024-01-01 12:00:00'
fi

if command -v xvfb-run >/dev/null; then
    gui=(xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$bench" "$project")
else
    gui=(env QT_QPA_PLATFORM=offscreen "$bench" "$project")
fi

# Warm the caches so both read metadata from memory.
"$qorzip" sync "$project" >/dev/null
read -r qwall qcpu qrss < <(measure "$data_dir/plan.out" "$qorzip" sync "$project")
qrows=$(grep -c $'\t' "$data_dir/plan.out" || true)
read -r gwall gcpu grss < <(measure "$data_dir/window.out" "${gui[@]}")

printf '%-16s %8s %8s %9s %7s\n' tool wall_s cpu_s peak_MB rows
awk -v w="$qwall" -v c="$qcpu" -v r="$qrss" -v n="$qrows" \
    'BEGIN { printf "%-16s %8.2f %8.2f %9.1f %7d\n", "qorzip sync", w, c, r / 1024, n }'
awk -v w="$gwall" -v c="$gcpu" -v r="$grss" \
    'BEGIN { printf "%-16s %8.2f %8.2f %9.1f %7s\n", "bench_synclist", w, c, r / 1024, "" }'
echo "window steps (ms):"
sed 's/^/  /' "$data_dir/window.out"
awk -v q="$qwall" '
    { t[$1] = $2 }
    END {
        open = t["load_archive"] + t["compare"] + t["fill"] + t["fit_widths"] + t["show"]
        printf "load+compare+fill+fit+show %.2f s = %.2f x the plan (goal <= 2)\n", open / 1000, open / 1000 / q
    }' "$data_dir/window.out"
