#!/usr/bin/env bash
# kelvane-cli --set-attr=RA on 10,000 files of an NTFS image mounted with ntfs-3g, against
# setfattr writing the same attribute word. Skipped where the image cannot be mounted.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cli="$(realpath "${1:-build}")/src/app/kelvane-cli"
count=${NTFS_COUNT:-10000}
work=$(mktemp -d)
export XDG_STATE_HOME="$work/state"
trap 'umount "$work/mnt" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/mnt"
truncate -s 64M "$work/ntfs.img"
if ! { /usr/sbin/mkntfs -F -Q -q "$work/ntfs.img" && ntfs-3g "$work/ntfs.img" "$work/mnt"; } \
  >/dev/null 2>&1; then
  echo "set attributes RA on ntfs-3g: skipped (cannot mount an NTFS image here)"
  exit 0
fi
make_tree "$work/mnt/tree" "$count"

reset_tree() {
  find "$work/mnt/tree" -type f -print0 | xargs -0 setfattr -n system.ntfs_attrib_be -v 0x00000020
}
run_ours() { find "$work/mnt/tree" -type f -print0 | xargs -0 "$cli" --set-attr=RA; }
run_setfattr() {
  find "$work/mnt/tree" -type f -print0 | xargs -0 setfattr -n system.ntfs_attrib_be -v 0x00000021
}

ours=() setfattrs=()
for round in 1 2 3; do
  reset_tree; setfattrs+=("$(seconds run_setfattr)")
  reset_tree; ours+=("$(seconds run_ours)")
done
ratio "set attributes RA on ntfs-3g, $count files" "$(median "${ours[@]}")" \
  "$(median "${setfattrs[@]}")" "find|xargs setfattr" 1.5
