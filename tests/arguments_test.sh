#!/usr/bin/env bash
# A run converts the file its command line names, as the kernel names it:
# names in Shift-JIS or EUC-JP bytes, ".." after a link, a file directly
# under the root, "--", and one language for both programs.
. "$(dirname "$0")/lib.sh"

# run EXPECTED-OUTPUT ARGS...: sorrelc ends with 0 and prints this.
run() {
  local want=$1 out
  shift
  out=$("$BIN/sorrelc" "$@" 2>&1)
  expect_eq "exit code of sorrelc $*" 0 $?
  expect_eq "output of sorrelc $*" "$want" "$out"
}

# Names in Shift-JIS and EUC-JP, as old Japanese archives hold them: a file,
# a folder with a wildcard, and a search text, all found by their bytes.
sjis=$(printf '\x93\xfa\x96\x7b')
euc=$(printf '\xc6\xfc\xcb\xdc')
printf 'x\r\n' > "$sjis.txt"
mkdir "$euc"
printf 'x\r\n' > "$euc/1.txt"
printf 'x\r\n' > "$euc/2.txt"
run "Target files:1, Replaced files:1" /C:LF "$sjis.txt"
expect_file "$sjis.txt" 'x\n'
run "Target files:2, Replaced files:2" /C:LF "$euc/*.txt"
expect_file "$euc/2.txt" 'x\n'
# A search text in such bytes is not a replacement character: it does not
# replace the U+FFFD a file holds.
printf 'a\xef\xbf\xbdb\n' > search.txt
run "Target files:1, Replaced files:0" /F:utf8 "/RB:$(printf '\x82\xa0')" /RA:- search.txt
expect_file search.txt 'a\xef\xbf\xbdb\n'
# A name in a report shows such bytes as U+FFFD (7B is '{').
printf 'x\r\n' > "bad-$sjis.txt"
chmod 444 "bad-$sjis.txt"
out=$("$BIN/sorrelc" /C:LF "bad-$sjis.txt" 2>&1)
expect_eq "a report names the file with replacement characters" 1 \
  "$(printf '%s\n' "$out" | grep -c "bad-$(printf '\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd'){.txt:")"
chmod 644 "bad-$sjis.txt"

# ".." after a link is the kernel's: the file beside the link's target.
mkdir -p real/sub beside
ln -s real/sub lnk
printf 'x\r\n' > real/f.txt
printf 'x\r\n' > f.txt
run "Target files:1, Replaced files:1" /C:LF lnk/../f.txt
expect_file real/f.txt 'x\n'
expect_file f.txt 'x\r\n'

# "--" ends the switches; a mistyped switch is still said to be one.
printf 'x\r\n' > ./-W.txt
run "Target files:1, Replaced files:1" /C:LF -- -W.txt
expect_file ./-W.txt 'x\n'
out=$("$BIN/sorrelc" /C:LF /Wx f.txt 2>&1)
expect_eq "a mistyped switch" "sorrelc: Invalid option - /Wx" "$out"

# A file directly under the root is a target, not an invalid option.
if [ -w / ]; then
  root_file=/sorrel-blackbox-$$.txt
  trap 'rm -rf "$WORK" "$root_file"' EXIT
  printf 'x\r\n' > "$root_file"
  run "Target files:1, Replaced files:1" /C:LF "$root_file"
  expect_file "$root_file" 'x\n'
fi

# One language for both programs: an empty SORREL_LANG is English to
# sorrelc, and sorrel speaks as sorrelc does whatever the locale.
printf 'x\r\n' > f.txt
out=$(SORREL_LANG= LANG=ja_JP.UTF-8 "$BIN/sorrelc" /C:LF f.txt 2>&1)
expect_eq "both programs in English" "Target files:1, Replaced files:1" "$out"
out=$(SORREL_LANG=ja LANG=C "$BIN/sorrelc" /C:CRLF f.txt 2>&1)
expect_eq "both programs in Japanese" "1個中 1個のファイルの置換を行いました。" "$out"

finish
