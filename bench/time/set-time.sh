#!/usr/bin/env bash
# kelvane-cli --time on 100,000 files against touch -d, which sets the same two Linux times.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

run_ours() { find "$work/tree" -type f -print0 | xargs -0 "$cli" --time="2004-02-29 10:15:36"; }
run_touch() { find "$work/tree" -type f -print0 | xargs -0 touch -d "2004-02-29 10:15:36"; }

ours=() touches=()
for round in 1 2 3; do
  touches+=("$(seconds run_touch)")
  ours+=("$(seconds run_ours)")
done
ratio "set all times, $count files" "$(median "${ours[@]}")" "$(median "${touches[@]}")" \
  "find|xargs touch -d" 1.5
