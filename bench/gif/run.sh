#!/usr/bin/env bash
# Times comment removal over a generated image set: our gif_strip against a giflib
# decode-all/encode-all harness (giflib_strip) and against `gifsicle --no-comments`.
# Each tool works on fresh copies; the best of several rounds counts.
#
#   bench/gif/run.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: run.sh BUILD_DIR}
find_tool() { find "$build" -type f -name "$1" -perm -u+x | head -n 1; }
gen=$(find_tool gif_bench_gen)
ours=$(find_tool gif_strip)
giflib=$(find_tool giflib_strip)
for tool in "$gen" "$ours" "$giflib"; do
    [[ -n $tool ]] || { echo "run.sh: build gif_bench_gen, gif_strip and giflib_strip first" >&2; exit 2; }
done
have_gifsicle=0
command -v gifsicle >/dev/null && have_gifsicle=1
rounds=${GIF_BENCH_ROUNDS:-5}

# Work in memory where possible: the figures are about the codecs, not the disk.
base=${GIF_BENCH_DIR:-$( [[ -d /dev/shm && -w /dev/shm ]] && echo /dev/shm || echo "${TMPDIR:-/tmp}" )}
work=$(mktemp -d "$base/gif-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$gen" "$work/set"

now() { date +%s.%N; }

# best_time SET COMMAND... : the shortest of $rounds runs, each on fresh copies of SET.
best_time() {
    local set=$1; shift
    local best=""
    for ((i = 0; i < rounds; i++)); do
        rm -rf "$work/run"
        cp -r "$work/set/$set" "$work/run"
        local start end
        start=$(now)
        "$@" "$work/run"/*.gif >/dev/null
        end=$(now)
        best=$(awk -v a="$start" -v b="$end" -v best="$best" \
            'BEGIN { t = b - a; if (best == "" || t < best) best = t; printf "%.4f", best }')
    done
    echo "$best"
}

gifsicle_strip() { gifsicle --no-comments -b "$@"; }

printf '%-10s %10s %10s %10s %14s %16s\n' set ours giflib gifsicle "ours/giflib" "ours/gifsicle"
for set in large animation small; do
    t_ours=$(best_time "$set" "$ours")
    t_giflib=$(best_time "$set" "$giflib")
    t_gifsicle=nan
    if ((have_gifsicle)); then t_gifsicle=$(best_time "$set" gifsicle_strip); fi
    awk -v s="$set" -v o="$t_ours" -v g="$t_giflib" -v c="$t_gifsicle" 'BEGIN {
        rc = (c == "nan") ? "n/a" : sprintf("%.2f", o / c);
        printf "%-10s %9.4fs %9.4fs %10s %14.2f %16s\n", s, o, g, (c == "nan") ? "n/a" : sprintf("%.4fs", c), o / g, rc }'
done
echo "(best of $rounds rounds in $base; goal: ours/giflib at most 0.80 on large and animation)"
