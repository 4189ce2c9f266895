#!/usr/bin/env bash
# Comment removal against the number of frames and the size of a frame. kelvane-cli
# --gif-strip-comments on GIFs of GIF_FRAMES (10,000), twice and four times as many 1 x 1 frames
# behind one comment: the time must grow in step with the count. Then the peak memory of one
# run on a 65535 x 65535 one-frame GIF, refused as too large before its pixels are decoded, and
# on a GIF of two 16384 x 16384 frames, which must hold one frame's pixels at a time, not both.
#
#   bench/gif/frames.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build=$(realpath "${1:-build}")
cli="$build/src/app/kelvane-cli"
gen="$build/bench/gif/gif_bench_frames"
if [[ ! -x $cli || ! -x $gen ]]; then
  echo "frames.sh: build kelvane-cli and gif_bench_frames first" >&2
  exit 2
fi
frames=${GIF_FRAMES:-10000}
rounds=${GIF_BENCH_ROUNDS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# strip_time FILE: the median wall time of kelvane-cli on $rounds fresh copies of FILE.
strip_time() {
  local times=() round
  for ((round = 0; round < rounds; round++)); do
    cp "$1" "$work/run.gif"
    times+=("$(seconds "$cli" --gif-strip-comments "$work/run.gif")")
  done
  median "${times[@]}"
}

# What every run costs whatever the frames: start-up, one frame, the write.
"$gen" frames 1 "$work/frames.gif"
base=$(strip_time "$work/frames.gif")
printf 'strip comments, %7d frame  of 1 x 1 pixel    %8.3f s  (start-up; median of %d)\n' \
  1 "$base" "$rounds"
counts=("$frames" $((2 * frames)) $((4 * frames)))
times=()
for n in "${counts[@]}"; do
  "$gen" frames "$n" "$work/frames.gif"
  times+=("$(strip_time "$work/frames.gif")")
  printf 'strip comments, %7d frames of 1 x 1 pixel    %8.3f s  (median of %d)\n' \
    "$n" "${times[-1]}" "$rounds"
done
# growth A B: how much longer B took than A, start-up taken off both.
growth() { echo "($2 - $base) / ($1 - $base)" | bc -l; }
printf 'time ratios, start-up taken off: t(%d)/t(%d) %.2f, t(%d)/t(%d) %.2f\n' \
  "${counts[1]}" "${counts[0]}" "$(growth "${times[0]}" "${times[1]}")" \
  "${counts[2]}" "${counts[1]}" "$(growth "${times[1]}" "${times[2]}")"
echo "    (linear in the frame count: about 2 each; quadratic: about 4)"

if [[ ! -x /usr/bin/time ]]; then
  echo "strip comments, peak memory: skipped (/usr/bin/time is missing)"
  exit 0
fi

# peak NAME FILE: one run on FILE; its peak resident memory, exit status and what it said.
peak() {
  local status=0
  /usr/bin/time -o "$work/time" -f '%M' "$cli" --gif-strip-comments "$2" \
    >/dev/null 2>"$work/said" || status=$?
  printf '%-44s peak %8.1f MiB  exit %d\n' "$1" "$(echo "$(tail -n 1 "$work/time") / 1024" | bc -l)" \
    "$status"
  sed 's/^/    /' "$work/said"
}

"$gen" solid 65535 65535 1 "$work/huge.gif"
peak "one 65535 x 65535 frame ($(($(stat -c %s "$work/huge.gif") / 1024)) KiB)" "$work/huge.gif"
echo "    (refused before decoding: 4 GiB of pixels, above the 2 GiB a frame may have)"
"$gen" solid 16384 16384 2 "$work/two.gif"
peak "two 16384 x 16384 frames" "$work/two.gif"
echo "    (one frame's pixels are 256 MiB; both at once would be 512 MiB)"
