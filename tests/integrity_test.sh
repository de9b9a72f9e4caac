#!/usr/bin/env bash
# sorrel refuses to start from a damaged program file.
. "$(dirname "$0")/lib.sh"

mkdir app
cp "$BIN/sorrel" app/sorrel
cp "$BIN/sorrel" app/damaged
# Change one byte of the program, outside the seal: the last byte before it
# lies in the section table, which the loader never reads, so the damaged copy
# still starts and must refuse itself.
seal_bytes=51
offset=$(($(stat -c %s app/damaged) - seal_bytes - 1))
old=$(dd if=app/damaged bs=1 skip=$offset count=1 2> /dev/null | od -An -tu1 | tr -d ' ')
printf "\\$(printf '%03o' $(((old + 1) % 256)))" | dd of=app/damaged bs=1 seek=$offset conv=notrunc 2> /dev/null
checks=$((checks + 1))
cmp -s app/sorrel app/damaged && fail "the copy was not damaged"

err=$(app/damaged /CUIMODE 2>&1)
expect_eq "exit code of a damaged program" 1 $?
expect_eq "message" "Sorrel: The program file is damaged; Sorrel cannot start." "$err"

app/sorrel /CUIMODE > /dev/null 2>&1
expect_eq "an intact copy runs" 0 $?

finish
