#!/usr/bin/env bash
# kelvane-cli --time on 100,000 files with its journal against the same run with --no-journal:
# recording every change before it is made must cost little beside the change itself. The run
# is one run over the whole tree; the same files fed through xargs make a run (and a journal)
# of every few thousand files, which is shown too, with what each run's journal costs.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
bench_tree "${1:-build}"

when="2004-02-29 10:15:36"
one_run() { "$cli" "$@" --time="$when" --add-folder files "$work/tree"; }
by_xargs() { find "$work/tree" -type f -print0 | xargs -0 "$cli" "$@" --time="$when"; }

journal=() plain=() xjournal=() xplain=()
for round in 1 2 3 4 5 6 7; do
  # Another date each run, so that every run has every time to change; the side that goes first
  # changes from round to round, so that neither always meets a cache the other warmed.
  plain_when="2004-02-2$round 10:15:36" journal_when="2005-03-2$round 11:16:37"
  if ((round % 2)); then
    when=$plain_when; plain+=("$(seconds one_run --no-journal)")
    when=$journal_when; journal+=("$(seconds one_run)")
  else
    when=$journal_when; journal+=("$(seconds one_run)")
    when=$plain_when; plain+=("$(seconds one_run --no-journal)")
  fi
  when="2006-04-2$round 12:17:38"
  xplain+=("$(seconds by_xargs --no-journal)")
  when="2007-05-2$round 13:18:39"
  xjournal+=("$(seconds by_xargs)")
done
paired_ratio "set all times with the journal, $count files" "${journal[*]}" "${plain[*]}" \
  "--no-journal" 1.15
runs=$(find "$work/tree" -type f -print0 | xargs -0 sh -c 'echo' sh | wc -l)
printf '%-44s ours %7.3f s  %-22s %7.3f s  ratio %5.2f  (%s runs of one journal each)\n' \
  "the same through xargs" "$(median "${xjournal[@]}")" "--no-journal" \
  "$(median "${xplain[@]}")" "$(echo "$(median "${xjournal[@]}") / $(median "${xplain[@]}")" | bc -l)" \
  "$runs"
