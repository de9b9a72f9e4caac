#!/usr/bin/env bash
# Ctrl+C in the middle of a run over many files (three runs, at random moments): every file is converted or
# untouched, the run says "Aborted." and its counts, and sorrelc ends by SIGINT (130).
. "$(dirname "$0")/lib.sh"

for i in $(seq 1 40); do printf 'some text of a line that is long enough\r\n'; done > original.txt
tr -d '\r' < original.txt > converted.txt
converted=$(md5sum < converted.txt)
original=$(md5sum < original.txt)

# Three runs, each interrupted at a random moment once it is under way.
for round in 1 2 3; do
  rm -rf many
  mkdir many
  for chunk in 0 1 2 3 4 5; do
    tee $(seq -f "many/%g.txt" $((chunk * 500 + 1)) $((chunk * 500 + 500))) < original.txt > /dev/null
  done
  touch marker
  # A new process group stands in for the terminal's foreground group.
  set -m
  "$BIN/sorrelc" /C:LF 'many/*.txt' > out.txt 2>&1 &
  pid=$!
  set +m
  # Interrupt once the first file has been rewritten, or within a tenth of
  # a second after: a run over these files takes about a second.
  for _ in $(seq 1 200); do
    [ -n "$(find many -newer marker -print -quit)" ] && break
    sleep 0.05
  done
  sleep "0.0$((RANDOM % 10))"
  kill -INT -- "-$pid"
  wait "$pid"
  expect_eq "round $round: sorrelc ends by the interrupt" 130 $?

  expect_eq "round $round: the run was aborted" 1 "$(grep -c '^Aborted\.' out.txt)"
  summary=$(tail -n 1 out.txt)
  expect_eq "round $round: summary line" 1 \
    "$(printf '%s' "$summary" | grep -c '^Target files:[0-9]*, Replaced files:[0-9]*$')"

  md5sum many/*.txt > sums.txt
  done=$(grep -c "^${converted%% *} " sums.txt)
  left=$(grep -c "^${original%% *} " sums.txt)
  expect_eq "round $round: every file converted or untouched" 3000 $((done + left))
  expect_eq "round $round: the count of converted files" \
    "Target files:$done, Replaced files:$done" "$summary"
  checks=$((checks + 1))
  [ "$left" -gt 0 ] || fail "round $round: the interrupt came after the run had ended"
  expect_eq "round $round: no temporary file left" 0 "$(find many -name '.*' -type f | wc -l)"
done

finish
