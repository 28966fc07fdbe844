#!/usr/bin/env bash
# Opening the 50,000-entry archive of the benchmark corpus in the main window
# (read, tree built and sorted, view painted) against `unzip -l` of the same
# archive, best of 5 runs each, plus how long the window went without
# answering while it loaded (longest pause of a 5 ms timer).
# The archive is made from gen_tree.py's tiny tree (50,000 files in 500
# folders) with Info-ZIP zip, under /tmp/qorzip-bench-window (kept).
# Runs offscreen; set QT_QPA_PLATFORM=xcb under a display to include X11.
# Usage: bench/window/run.sh [BUILD_DIR]   (default: build-bench beside the sources)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="${1:-$source_dir/build-bench}"
data_dir=/tmp/qorzip-bench-window
mkdir -p "$data_dir"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
if ! cmake --build "$build_dir" -j2 --target bench_window >"$data_dir/build.log" 2>&1; then
    echo "Building bench_window failed; see $data_dir/build.log" >&2
    exit 1
fi
bench="$build_dir/bench/window/bench_window"

archive="$data_dir/tiny-50000.zip"
if [ ! -f "$archive" ]; then
    [ -d "$data_dir/tiny" ] || python3 "$source_dir/bench/zipbuild/gen_tree.py" tiny "$data_dir/tiny"
    (cd "$data_dir/tiny" && zip -r -q -6 "$archive" .)
fi
entries=$(unzip -l "$archive" | tail -1 | awk '{print $2}')

best() { sort -n | head -1; }
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    python3 -c "print('%.3f' % ($end - $start))"
}

unzip_times=() window_times=() process_times=() pauses=()
for _ in 1 2 3 4 5; do
    unzip_times+=("$(seconds unzip -l "$archive")")
    read -r loaded pause _ticks _roots < <("$bench" "$archive" 2>/dev/null)
    window_times+=("$loaded")
    pauses+=("$pause")
    process_times+=("$(seconds "$bench" "$archive")")
done
u=$(printf '%s\n' "${unzip_times[@]}" | best)
w=$(printf '%s\n' "${window_times[@]}" | best)
p=$(printf '%s\n' "${process_times[@]}" | best)
worst_pause=$(printf '%s\n' "${pauses[@]}" | sort -n | tail -1)
echo "archive: $archive ($entries entries), platform $QT_QPA_PLATFORM, best of 5"
printf '%-52s %8s s\n' "unzip -l" "$u"
printf '%-52s %8s s  %5.2fx\n' "window: load, tree built and sorted, view painted" "$w" \
    "$(python3 -c "print($w / $u)")"
printf '%-52s %8s s  %5.2fx\n' "whole window process (start, load, exit)" "$p" \
    "$(python3 -c "print($p / $u)")"
echo "longest pause of the window's event loop while loading: ${worst_pause} ms (worst run)"
