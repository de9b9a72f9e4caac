#!/usr/bin/env bash
# sorrel refuses to start from a damaged program file.
. "$(dirname "$0")/lib.sh"

mkdir app
cp "$BIN/sorrel" app/sorrel
cp "$BIN/sorrel" app/damaged
size=$(stat -c %s app/damaged)
printf '\x00' | dd of=app/damaged bs=1 seek=$((size / 2)) conv=notrunc 2> /dev/null
if cmp -s app/sorrel app/damaged; then
  printf '\x01' | dd of=app/damaged bs=1 seek=$((size / 2)) conv=notrunc 2> /dev/null
fi

err=$(app/damaged /CUIMODE 2>&1)
expect_eq "exit code of a damaged program" 1 $?
expect_eq "message" "Sorrel: The program file is damaged; Sorrel cannot start." "$err"

app/sorrel /CUIMODE > /dev/null 2>&1
expect_eq "an intact copy runs" 0 $?

finish
