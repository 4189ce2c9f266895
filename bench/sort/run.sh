#!/usr/bin/env bash
# The list's sort of 1,000,000 rows by Name, Size and Modified against GNU sort of the same
# column texts: sort -f, sort -n (with the locale's digit grouping) and sort by date fields.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=en_US.UTF-8

ours=$("$build/bench/sort/sort_bench" "$work")
ours_time() { awk -v n="$1" '$1 == n { print $2 }' <<<"$ours"; }
gnu_name() { sort -f -S 1G "$work/name.txt"; }
gnu_size() { sort -n -S 1G "$work/size.txt"; }
gnu_modified() { sort -t/ -k3,3n -k1,1n -k2,2n -S 1G "$work/modified.txt"; }

ratio "sort 1,000,000 rows by Name" "$(ours_time name)" "$(seconds gnu_name)" "sort -f" 1.0
ratio "sort 1,000,000 rows by Size" "$(ours_time size)" "$(seconds gnu_size)" "sort -n" 1.0
ratio "sort 1,000,000 rows by Modified" "$(ours_time modified)" "$(seconds gnu_modified)" \
  "sort -t/ -k3n -k1n -k2n" 1.0
