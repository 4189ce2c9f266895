#!/usr/bin/env bash
# kelvane-cli --add-folder=files --list on 100,000 files against find -printf and ls -lR, which
# print comparable facts of every file of the same tree.
set -euo pipefail
build=$(realpath "${1:-build}")
count=${COUNT:-100000}
here=$(dirname "$0")
source "$here/../lib.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_tree "$work/tree" "$count"
cli="$build/src/app/kelvane-cli"

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
ratio "add a folder and list it, $count files" "$o" "$(median "${finds[@]}")" "find -printf" 1.5
ratio "add a folder and list it, $count files" "$o" "$(median "${lss[@]}")" "ls -lR" "-"
