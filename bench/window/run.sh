#!/usr/bin/env bash
# The window (offscreen) against kelvane-cli on the same tree of 100,000 files: a folder search
# filling the list as its finds arrive, with the longest time the event loop went without a
# turn; a run setting R and A on every row; and the peak memory of a list of 1,000,000 rows.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"
window="$(dirname "$cli")/../../bench/window/kelvane_window_bench"
export QT_QPA_PLATFORM=offscreen
# Both keep the journals of their runs, out of the home folder of whoever runs the bench.
export XDG_STATE_HOME="$work/state"

reset_tree() {
  find "$work/tree" -type f -print0 | xargs -0 chmod u+w
  find "$work/tree" -type f -print0 | xargs -0 setfattr -x user.DOSATTRIB 2>/dev/null || true
}
# field NAME LINE: the value of NAME=... in a line of kelvane_window_bench.
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2"; }

adds=() cli_adds=() runs=() cli_sets=() gap=0 run_gap=0
for round in 1 2 3; do
  line=$("$window" add-folder "$work/tree" 2>/dev/null)
  adds+=("$(field seconds "$line")")
  gap=$(printf '%s\n%s\n' "$gap" "$(field longest_gap_ms "$line")" | sort -g | tail -n 1)
  cli_adds+=("$(seconds "$cli" --add-folder=files "$work/tree")")

  reset_tree
  line=$("$window" run "$work/tree" 2>/dev/null)
  runs+=("$(field seconds "$line")")
  run_gap=$(printf '%s\n%s\n' "$run_gap" "$(field longest_gap_ms "$line")" | sort -g | tail -n 1)
  reset_tree
  cli_sets+=("$(seconds "$cli" --set-attr=RA --add-folder=files "$work/tree")")
  reset_tree
done
cli_add=$(median "${cli_adds[@]}")
# The command line's run alone: its search and run, less its search.
cli_run=$(echo "$(median "${cli_sets[@]}") - $cli_add" | bc -l)
ratio "window: add a folder, $count files" "$(median "${adds[@]}")" "$cli_add" \
  "kelvane-cli --add-folder" 1.3
printf '%-44s longest event-loop gap %.1f ms  (goal <= 50)\n' "window: add a folder, $count files" "$gap"
ratio "window: run setting RA, $count files" "$(median "${runs[@]}")" "$cli_run" \
  "kelvane-cli --set-attr" 1.2
printf '%-44s longest event-loop gap %.1f ms\n' "window: run setting RA, $count files" "$run_gap"

line=$("$window" memory "$work/tree" 1000000 2>/dev/null)
printf '%-44s peak memory %s MB  (goal < 600)\n' "window: $(field rows "$line") rows" \
  "$(field peak_mb "$line")"
