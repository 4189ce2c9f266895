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
# of $COUNT (100,000) files in $work/tree and the journals of the runs.
bench_tree() {
  cli="$(realpath "${1:-build}")/src/app/kelvane-cli"
  count=${COUNT:-100000}
  work=$(mktemp -d)
  trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
  make_tree "$work/tree" "$count"
  # The runs' journals go to the benchmark's own folder, on the same disk as the files.
  export XDG_STATE_HOME="$work/state"
}

# small_tree: sets $small, a tree of $small_count (10,000) files in $work/small, and
# $small_list, the file holding their paths, each ended by a NUL. Counting system calls needs no
# more files than that, and strace slows what it watches.
small_tree() {
  small_count=10000
  small="$work/small"
  small_list="$work/small.list"
  make_tree "$small" "$small_count"
  find "$small" -type f -print0 >"$small_list"
}

# can_count_calls WHAT: true where strace can count system calls; else says that WHAT is skipped.
can_count_calls() {
  if strace -c -o /dev/null true >/dev/null 2>&1; then
    return 0
  fi
  echo "$1: system calls per file skipped (strace is missing or cannot trace here)"
  return 1
}

# calls COMMAND...: the number of system calls COMMAND and every process it starts make, one
# line of strace -f each (the resumption of an interrupted call, signals and exits aside).
# strace -c would leave out the calls it has no name for, such as getxattrat (Linux 6.13) for
# Debian 12's strace.
calls() {
  local log
  log=$(mktemp)
  strace -f -qq -o "$log" "$@" >/dev/null
  grep -cv -e '^[0-9]* *<\.\.\. ' -e '^[0-9]* *+++ ' -e '^[0-9]* *--- ' "$log"
  rm -f "$log"
}

# calls_per_file NAME OURS THEIRS THEIRS_NAME: system calls per file of $small, ours and theirs.
calls_per_file() {
  printf '%-44s ours %7.2f /file  %-22s %7.2f /file  (system calls)\n' \
    "$1" "$(echo "$2 / $small_count" | bc -l)" "$4" "$(echo "$3 / $small_count" | bc -l)"
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

# paired_ratio NAME "OURS..." "THEIRS..." THEIRS_NAME GOAL: times of rounds in which both ran one
# right after the other; the ratio is the median of the rounds' own ratios, which a machine whose
# load drifts from one round to the next moves less than it moves the times.
paired_ratio() {
  local ours=($2) theirs=($3) ratios=() i
  for i in "${!ours[@]}"; do
    ratios+=("$(echo "${ours[$i]} / ${theirs[$i]}" | bc -l)")
  done
  printf '%-44s ours %7.3f s  %-22s %7.3f s  ratio %5.2f  (goal <= %s; median of %d paired rounds)\n' \
    "$1" "$(median "${ours[@]}")" "$4" "$(median "${theirs[@]}")" "$(median "${ratios[@]}")" "$5" \
    "${#ours[@]}"
}
