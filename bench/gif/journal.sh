#!/usr/bin/env bash
# kelvane-cli --gif-strip-comments on the large benchmark image with the run's journal (which
# keeps the old content, as a hard link where the new file replaces the old one) against the
# same run with --no-journal: keeping a run undoable must cost little beside the rewrite.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build=$(realpath "${1:-build}")
cli="$build/src/app/kelvane-cli"
gen=$(find "$build" -type f -name gif_bench_gen -perm -u+x | head -n 1)
[[ -n $gen ]] || { echo "journal.sh: build gif_bench_gen first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$gen" "$work/set" >/dev/null
# The journals go to the benchmark's own folder, on the same volume as the image.
export XDG_STATE_HOME="$work/state"

# strip [FLAGS]: the rewrite of a fresh copy of the large image.
strip() {
  cp "$work/set/large/large.gif" "$work/large.gif"
  "$cli" "$@" --gif-strip-comments "$work/large.gif"
}
journal=() plain=()
for round in 1 2 3 4 5; do
  plain+=("$(seconds strip --no-journal)")
  journal+=("$(seconds strip)")
done
ratio "GIF comments removed with the journal" "$(median "${journal[@]}")" \
  "$(median "${plain[@]}")" "--no-journal" 1.1
