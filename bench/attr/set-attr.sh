#!/usr/bin/env bash
# kelvane-cli --set-attr=RA on 100,000 files against chmod and setfattr doing each half of it.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

reset_tree() {
  find "$work/tree" -type f -print0 | xargs -0 chmod u+w
  find "$work/tree" -type f -print0 | xargs -0 setfattr -x user.DOSATTRIB 2>/dev/null || true
}
run_ours() { find "$work/tree" -type f -print0 | xargs -0 "$cli" --set-attr=RA; }
run_chmod() { find "$work/tree" -type f -print0 | xargs -0 chmod a-w; }
run_setfattr() { find "$work/tree" -type f -print0 | xargs -0 setfattr -n user.DOSATTRIB -v 0x21; }

ours=() chmods=() setfattrs=()
for round in 1 2 3; do
  reset_tree; chmods+=("$(seconds run_chmod)")
  reset_tree; setfattrs+=("$(seconds run_setfattr)")
  reset_tree; ours+=("$(seconds run_ours)")
done
o=$(median "${ours[@]}")
ratio "set attributes RA, $count files" "$o" "$(median "${chmods[@]}")" "find|xargs chmod a-w" 1.5
ratio "set attributes RA, $count files" "$o" "$(median "${setfattrs[@]}")" "find|xargs setfattr" "-"
