#!/usr/bin/env bash
# kelvane-cli --dry-run --time on 100,000 files against the real run of the same options: a
# preview must cost clearly less than doing the work it shows.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

when="2004-02-29 10:15:36"
run_dry() { find "$work/tree" -type f -print0 | xargs -0 "$cli" --dry-run --time="$when" >/dev/null; }
run_real() { find "$work/tree" -type f -print0 | xargs -0 "$cli" --time="$when"; }

dry=() real=()
for round in 1 2 3 4 5; do
  # Another date each round, so that the real run always has every time to change and the dry
  # run always a line per time to print.
  when="2004-02-2$round 10:15:36"
  real+=("$(seconds run_real)")
  when="2005-03-2$round 11:16:37"
  dry+=("$(seconds run_dry)")
done
ratio "dry run of set all times, $count files" "$(median "${dry[@]}")" "$(median "${real[@]}")" \
  "the real run" 0.7
