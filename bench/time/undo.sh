#!/usr/bin/env bash
# kelvane-cli --undo of a --time run over 100,000 files against the run itself: taking a run
# back checks and restores every file, and must cost about what the run did.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

run_time() { "$cli" --time="$when" --add-folder files "$work/tree"; }
undo_last() { "$cli" --undo; }

run=() undo=()
for round in 1 2 3; do
  when="2004-02-2$round 10:15:36"
  run+=("$(seconds run_time)")
  undo+=("$(seconds undo_last)")
  "$cli" --forget-runs
done
ratio "undo of set all times, $count files" "$(median "${undo[@]}")" "$(median "${run[@]}")" \
  "the run itself" 1.5
