#!/usr/bin/env bash
# The window's preview (offscreen) of setting all three times on 100,000 rows against
# kelvane-cli --dry-run of the same files: planning on a worker and showing the plans in the
# list must cost little more than the command line's printing them, and never hold up the
# event loop. The window's list is filled before the clock starts; the command line adds its
# paths as part of its time.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"
window="$(dirname "$cli")/../../bench/window/kelvane_window_bench"
export QT_QPA_PLATFORM=offscreen

# field NAME LINE: the value of NAME=... in a line of kelvane_window_bench.
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2"; }
run_dry() { find "$work/tree" -type f -print0 | xargs -0 "$cli" --dry-run --time="$when" >/dev/null; }

previews=() dry=() gap=0
for round in 1 2 3; do
  when="2005-03-2$round 11:16:37"
  line=$("$window" preview "$work/tree" "$when" 2>/dev/null)
  previews+=("$(field seconds "$line")")
  gap=$(printf '%s\n%s\n' "$gap" "$(field longest_gap_ms "$line")" | sort -g | tail -n 1)
  dry+=("$(seconds run_dry)")
done
ratio "window: preview of set all times, $count" "$(median "${previews[@]}")" \
  "$(median "${dry[@]}")" "kelvane-cli --dry-run" 1.3
printf '%-44s longest event-loop gap %.1f ms  (goal <= 50)\n' \
  "window: preview of set all times, $count" "$gap"
