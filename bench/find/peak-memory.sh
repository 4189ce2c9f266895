#!/usr/bin/env bash
# The most memory kelvane-cli --add-folder=files --list holds over 1,000,000 files (COUNT), as
# /usr/bin/time reports the largest resident set.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
if [ ! -x /usr/bin/time ]; then
  echo "peak memory of add a folder and list it: skipped (/usr/bin/time is missing)"
  exit 0
fi
COUNT=${COUNT:-1000000} bench_tree "${1:-build}"

/usr/bin/time -f %M -o "$work/rss" "$cli" --add-folder=files "$work/tree" --list >/dev/null
printf '%-44s ours %7.1f MB at most in memory  (goal <= 150 MB)\n' \
  "add a folder and list it, $count files" "$(echo "$(cat "$work/rss") / 1024" | bc -l)"
