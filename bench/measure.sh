# Sourced by the benchmark scripts. measure OUT COMMAND...: runs COMMAND under
# /usr/bin/time -v with its stdout in OUT and prints "wall cpu peakKB".
# The caller sets data_dir, where the timing log is kept.
measure() {
    local out=$1
    shift
    local log="$data_dir/time.log"
    /usr/bin/time -v -o "$log" "$@" >"$out"
    awk -F': ' '
        /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = (n == 3) ? t[1] * 3600 + t[2] * 60 + t[3] : t[1] * 60 + t[2] }
        /User time/ { user = $2 }
        /System time/ { sys = $2 }
        /Maximum resident/ { rss = $2 }
        END { printf "%.2f %.2f %d\n", wall, user + sys, rss }' "$log"
}

# keep_best BEST "wall cpu peakKB": prints BEST or the new triple, whichever
# has the shorter wall time (BEST may be empty).
keep_best() {
    if [ -z "$1" ]; then
        echo "$2"
    else
        awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " "); print (y[1] < x[1]) ? b : a }'
    fi
}
