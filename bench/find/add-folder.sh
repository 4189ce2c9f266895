#!/usr/bin/env bash
# kelvane-cli --add-folder=files --list on 100,000 files against find -printf and ls -lR, which
# print comparable facts of every file of the same tree; and the system calls each makes per file.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

run_ours() { "$cli" --add-folder=files "$work/tree" --list; }
run_find() { find "$work/tree" -printf '%s %T@ %A@ %m %p\n'; }
run_ls() { ls -lR "$work/tree"; }

# Five rounds: find alone varies by a quarter between identical runs here, and the median of five
# moves less than that of three.
ours=() finds=() lss=()
for round in 1 2 3 4 5; do
  finds+=("$(seconds run_find)")
  lss+=("$(seconds run_ls)")
  ours+=("$(seconds run_ours)")
done
o=$(median "${ours[@]}")
ratio "add a folder and list it, $count files" "$o" "$(median "${finds[@]}")" "find -printf" 1.3
ratio "add a folder and list it, $count files" "$o" "$(median "${lss[@]}")" "ls -lR" "-"

if can_count_calls "add a folder and list it"; then
  small_tree
  calls_per_file "add a folder and list it, $small_count files" \
    "$(calls "$cli" --add-folder=files "$small" --list)" \
    "$(calls find "$small" -printf '%s %T@ %A@ %m %p\n')" "find -printf"
fi
