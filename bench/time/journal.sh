#!/usr/bin/env bash
# kelvane-cli --time on 100,000 files with its journal against the same run with --no-journal:
# recording every change before it is made must cost little beside the change itself.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

when="2004-02-29 10:15:36"
run_journal() { find "$work/tree" -type f -print0 | xargs -0 "$cli" --time="$when"; }
run_plain() { find "$work/tree" -type f -print0 | xargs -0 "$cli" --no-journal --time="$when"; }

journal=() plain=()
for round in 1 2 3 4 5; do
  # Another date each round, so that every run has every time to change.
  when="2004-02-2$round 10:15:36"
  plain+=("$(seconds run_plain)")
  when="2005-03-2$round 11:16:37"
  journal+=("$(seconds run_journal)")
done
ratio "set all times with the journal, $count files" "$(median "${journal[@]}")" \
  "$(median "${plain[@]}")" "--no-journal" 1.15
