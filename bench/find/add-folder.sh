#!/usr/bin/env bash
# kelvane-cli --add-folder=files --list on 100,000 files against find -printf and ls -lR, which
# print comparable facts of every file of the same tree; and the system calls each makes per file.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

run_ours() { "$cli" --add-folder=files "$work/tree" --list; }
run_find() { find "$work/tree" -printf '%s %T@ %A@ %m %p\n'; }
run_ls() { ls -lR "$work/tree"; }

ours=() finds=() lss=()
for round in 1 2 3; do
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
