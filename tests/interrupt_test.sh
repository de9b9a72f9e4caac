#!/usr/bin/env bash
# Ctrl+C in the middle of a run over many files: every file is converted or
# untouched, the run says "Aborted." and its counts, and sorrelc ends with 0.
. "$(dirname "$0")/lib.sh"

mkdir many
for i in $(seq 1 40); do printf 'some text of a line that is long enough\r\n'; done > original.txt
tr -d '\r' < original.txt > converted.txt
for i in $(seq 1 3000); do cp original.txt "many/$i.txt"; done
converted=$(md5sum < converted.txt)
original=$(md5sum < original.txt)

touch marker
# A new process group stands in for the terminal's foreground group.
set -m
"$BIN/sorrelc" /C:LF 'many/*.txt' > out.txt 2>&1 &
pid=$!
set +m
# Interrupt once the run is under way: the first file has been rewritten.
for _ in $(seq 1 200); do
  [ -n "$(find many -newer marker -print -quit)" ] && break
  sleep 0.05
done
kill -INT -- "-$pid"
wait "$pid"
expect_eq "exit code of sorrelc" 0 $?

expect_eq "the run was aborted" 1 "$(grep -c '^Aborted\.' out.txt)"
summary=$(tail -n 1 out.txt)
expect_eq "summary line" 1 "$(printf '%s' "$summary" | grep -c '^Target files:[0-9]*, Replaced files:[0-9]*$')"

done=0
left=0
for f in many/*.txt; do
  sum=$(md5sum < "$f")
  if [ "$sum" == "$converted" ]; then
    done=$((done + 1))
  elif [ "$sum" == "$original" ]; then
    left=$((left + 1))
  else
    fail "$f is neither converted nor untouched"
  fi
done
expect_eq "every file converted or untouched" 3000 $((done + left))
expect_eq "the count of converted files" "Target files:$done, Replaced files:$done" "$summary"
checks=$((checks + 1))
[ "$left" -gt 0 ] || fail "the interrupt came after the run had ended"
expect_eq "no temporary file left" 0 "$(find many -name '.*' -type f | wc -l)"

finish
