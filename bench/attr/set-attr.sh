#!/usr/bin/env bash
# kelvane-cli --set-attr=RA on 100,000 files against chmod and setfattr doing each half of it,
# timed as the sum of the two halves; and the system calls each makes per file.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

# reset_tree DIR: every file writable and without stored attributes again.
reset_tree() {
  find "$1" -type f -print0 | xargs -0 chmod u+w
  find "$1" -type f -print0 | xargs -0 setfattr -x user.DOSATTRIB 2>/dev/null || true
}
run_ours() { find "$work/tree" -type f -print0 | xargs -0 "$cli" --set-attr=RA; }
run_chmod() { find "$work/tree" -type f -print0 | xargs -0 chmod a-w; }
run_setfattr() { find "$work/tree" -type f -print0 | xargs -0 setfattr -n user.DOSATTRIB -v 0x21; }

ours=() halves=()
for round in 1 2 3; do
  reset_tree "$work/tree"; c=$(seconds run_chmod)
  reset_tree "$work/tree"; s=$(seconds run_setfattr)
  halves+=("$(echo "$c + $s" | bc -l)")
  reset_tree "$work/tree"; ours+=("$(seconds run_ours)")
done
ratio "set attributes RA, $count files" "$(median "${ours[@]}")" "$(median "${halves[@]}")" \
  "chmod a-w + setfattr" 1.1

if can_count_calls "set attributes RA"; then
  small_tree
  reset_tree "$small"; o=$(calls xargs -0 -a "$small_list" "$cli" --set-attr=RA)
  reset_tree "$small"; c=$(calls xargs -0 -a "$small_list" chmod a-w)
  reset_tree "$small"; s=$(calls xargs -0 -a "$small_list" setfattr -n user.DOSATTRIB -v 0x21)
  calls_per_file "set attributes RA, $small_count files" "$o" "$((c + s))" "chmod a-w + setfattr"
fi
