# Shared pieces of the benchmark scripts: a file tree, a clock, and the ratio line.

# make_tree DIR COUNT: COUNT small files in folders of 1,000.
make_tree() {
  local dir=$1 count=$2 per=1000 f
  mkdir -p "$dir"
  for ((f = 0; f < count; f += per)); do
    mkdir -p "$dir/d$((f / per))"
    (cd "$dir/d$((f / per))" && seq -f 'file%05g.txt' "$f" $((f + per - 1)) | xargs touch)
  done
}

# bench_tree BUILD_DIR: sets $cli, $count and $work, a folder removed on exit that holds a tree
# of $COUNT (100,000) files in $work/tree.
bench_tree() {
  cli="$(realpath "${1:-build}")/src/app/kelvane-cli"
  count=${COUNT:-100000}
  work=$(mktemp -d)
  trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
  make_tree "$work/tree" "$count"
}

# seconds COMMAND...: runs the command and prints the wall time it took, in seconds.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

# median A B C
median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

# ratio NAME OURS THEIRS THEIRS_NAME GOAL
ratio() {
  printf '%-44s ours %7.3f s  %-22s %7.3f s  ratio %5.2f  (goal <= %s)\n' \
    "$1" "$2" "$4" "$3" "$(echo "$2 / $3" | bc -l)" "$5"
}
