#!/usr/bin/env bash
# Times comment removal over a generated image set: our gif_strip (which verifies every file it
# writes) against a giflib decode-all/encode-all harness (giflib_strip) and against
# `gifsicle --no-comments`. Each tool works on fresh copies; the best of several rounds counts.
# Then the peak memory of gif_strip on single files, against what it may take: 64 MB, four
# times the file's size and the pixels its data really encodes.
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
for set in large animation small plain; do
    t_ours=$(best_time "$set" "$ours")
    t_giflib=$(best_time "$set" "$giflib")
    t_gifsicle=nan
    if ((have_gifsicle)); then t_gifsicle=$(best_time "$set" gifsicle_strip); fi
    awk -v s="$set" -v o="$t_ours" -v g="$t_giflib" -v c="$t_gifsicle" 'BEGIN {
        rc = (c == "nan") ? "n/a" : sprintf("%.2f", o / c);
        printf "%-10s %9.4fs %9.4fs %10s %14.2f %16s\n", s, o, g, (c == "nan") ? "n/a" : sprintf("%.4fs", c), o / g, rc }'
done
echo "(best of $rounds rounds in $base; goal: ours/giflib at most 0.90 on large and animation,"
echo " far below 1 on plain: 50 files without comments, nothing to write)"

# peak_kb FILE : the largest resident set of gif_strip on a fresh copy of FILE, in KiB.
peak_kb() {
    cp "$1" "$work/peak.gif"
    { /usr/bin/time -f '%M' "$ours" "$work/peak.gif" 2>&1 >/dev/null || true; } | tail -n 1
}

if [[ -x /usr/bin/time ]]; then
    printf '\n%-22s %12s %12s %10s\n' file "peak MiB" "allowed MiB" seconds
    for file in large/large.gif animation/animation.gif damaged/huge.gif; do
        path="$work/set/$file"
        size=$(stat -c %s "$path")
        # Pixels the data really encodes: the damaged file's data holds one.
        case $file in
            large/*) pixels=$((1600 * 1200)) ;;
            animation/*) pixels=$((30 * 400 * 300)) ;;
            *) pixels=1 ;;
        esac
        start=$(now)
        kb=$(peak_kb "$path")
        end=$(now)
        awk -v f="$file" -v kb="$kb" -v size="$size" -v px="$pixels" -v a="$start" -v b="$end" 'BEGIN {
            printf "%-22s %12.1f %12.1f %10.3f\n", f, kb / 1024, 64 + (4 * size + px) / 1048576, b - a }'
    done
fi
