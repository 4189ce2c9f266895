#!/usr/bin/env bash
# kelvane-cli --time-from=exif on 10,000 JPEGs against exiv2 -T rename, which sets the file time
# from the same EXIF date; each works on its own copy of the photos.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build=$(realpath "${1:-build}")
cli="$build/src/app/kelvane-cli"
count=10000
work=$(mktemp -d)
export XDG_STATE_HOME="$work/state"
trap 'rm -rf "$work"' EXIT

"$build/bench/time/photo_bench_gen" "$work/ours" "$count"
cp -a "$work/ours" "$work/theirs"

run_ours() { find "$work/ours" -type f -print0 | xargs -0 "$cli" --time-from=exif --which=modified; }
run_exiv2() { find "$work/theirs" -type f -print0 | xargs -0 exiv2 -T rename; }

ours=() theirs=()
for round in 1 2 3 4 5; do
  # Both start each round from times the photos do not hold.
  find "$work" -type f -print0 | xargs -0 touch -d "2001-01-0$round 12:00:00"
  theirs+=("$(seconds run_exiv2)")
  ours+=("$(seconds run_ours)")
done
ratio "times from EXIF, $count JPEGs" "$(median "${ours[@]}")" "$(median "${theirs[@]}")" \
  "xargs exiv2 -T rename" 1.0
