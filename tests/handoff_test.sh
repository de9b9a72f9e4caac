#!/usr/bin/env bash
# Many sorrelc runs from many shells at once, with stripped programs and
# Shift-JIS file names: each run converts exactly the file it names with
# exactly its own switches, in both stores.
. "$(dirname "$0")/lib.sh"

PAIRS=${PAIRS:-20}

mkdir app
cp "$BIN/sorrelc" "$BIN/sorrel" "$BIN/ms932-bestfit.cnv" app/
strip app/sorrelc app/sorrel
ln -s sorrelc app/sorrelc_o
ln -s sorrel app/sorrel_o

# run_pairs PROGRAM: PAIRS pairs of runs, all started together. One of each
# pair unifies line ends, the other replaces x by xx; both files hold "x"
# and a CR+LF, so a run that took the other's settings shows in the bytes.
run_pairs() {
  local program=$1 i
  rm -rf pairs
  mkdir pairs
  for i in $(seq 1 "$PAIRS"); do
    printf 'x\r\n' > "pairs/a$i.txt"
    printf 'x\r\n' > "pairs/b$i-$(printf '\x93\xfa\x96\x7b').txt"
  done
  for i in $(seq 1 "$PAIRS"); do
    "app/$program" /C:LF "pairs/a$i.txt" > "pairs/a$i.out" 2>&1 &
    "app/$program" /RB:x /RA:xx "pairs/b$i-$(printf '\x93\xfa\x96\x7b').txt" > "pairs/b$i.out" 2>&1 &
  done
  wait
  local crossed=0 reported=0
  for i in $(seq 1 "$PAIRS"); do
    [ "$(od -An -tx1 "pairs/a$i.txt" | tr -d ' \n')" == "780a" ] || crossed=$((crossed + 1))
    [ "$(od -An -tx1 "pairs/b$i-$(printf '\x93\xfa\x96\x7b').txt" | tr -d ' \n')" == "78780d0a" ] ||
      crossed=$((crossed + 1))
    for out in "pairs/a$i.out" "pairs/b$i.out"; do
      [ "$(cat "$out")" == "Target files:1, Replaced files:1" ] || reported=$((reported + 1))
    done
  done
  expect_eq "$program: files converted with another run's settings" 0 "$crossed"
  expect_eq "$program: runs that did not report their one file" 0 "$reported"
}

run_pairs sorrelc
run_pairs sorrelc_o

# A settings folder that cannot be written stops every run, and nothing is
# converted. A file in the folder's place stops root as well.
printf 'x\r\n' > kept.txt
rm -rf "$XDG_CONFIG_HOME"
printf 'not a folder' > "$XDG_CONFIG_HOME"
pids=()
for i in $(seq 1 5); do
  app/sorrelc /C:LF kept.txt > "refused$i.out" 2>&1 &
  pids+=($!)
done
for i in $(seq 1 5); do
  wait "${pids[$((i - 1))]}"
  expect_eq "exit code of run $i on a settings folder that cannot be made" 1 $?
  expect_eq "message of run $i" \
    "sorrelc: Cannot store the settings in $XDG_CONFIG_HOME/sorrel/registry.reg - Not a directory" \
    "$(cat "refused$i.out")"
done
expect_file kept.txt 'x\r\n'

# Without any folder for the settings the message names the rule that was
# missing its variables.
out=$(env -i "$PWD/app/sorrelc" /C:LF kept.txt 2>&1)
expect_eq "exit code without HOME" 1 $?
expect_eq "message without HOME" \
  "sorrelc: Cannot store the settings in \${XDG_CONFIG_HOME:-\$HOME/.config}/sorrel/registry.reg - No such file or directory" \
  "$out"
expect_file kept.txt 'x\r\n'

finish
