#!/usr/bin/env bash
# One conversion of each kind through sorrelc and sorrel, end to end.
. "$(dirname "$0")/lib.sh"

# run EXPECTED-SUMMARY ARGS...: runs sorrelc and checks its last output line.
run() {
  local want=$1
  shift
  local out
  out=$("$BIN/sorrelc" "$@" 2>&1)
  expect_eq "exit code of sorrelc $*" 0 $?
  expect_eq "summary of sorrelc $*" "$want" "$(printf '%s\n' "$out" | tail -n 1)"
}

mkdir d
printf 'a\r\nb\rc\n' > d/lines.txt
run "Target files:1, Replaced files:1" /C:LF d/lines.txt
expect_file d/lines.txt 'a\nb\nc\n'
run "Target files:1, Replaced files:1" /C:CRLF d/lines.txt
expect_file d/lines.txt 'a\r\nb\r\nc\r\n'
run "Target files:1, Replaced files:0" /C:CRLF d/lines.txt

# Line ends against dos2unix, when it is there.
if command -v dos2unix > /dev/null; then
  for i in $(seq 1 500); do printf 'line %d\t \r\n' "$i"; done > d/many.txt
  cp d/many.txt oracle.txt && dos2unix -q oracle.txt
  run "Target files:1, Replaced files:1" /C:LF d/many.txt
  expect_eq "CR+LF to LF as dos2unix does it" "$(md5sum < oracle.txt)" "$(md5sum < d/many.txt)"
fi

# Shift-JIS to UTF-8 against iconv.
printf '\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8f\xcd\r\n\xb6\xc0\xb6\xc5 ASCII\r\n' > d/sjis.txt
iconv -f CP932 -t UTF-8 d/sjis.txt > oracle.txt
run "Target files:1, Replaced files:1" /F:sjis /O:utf8 d/sjis.txt
expect_eq "Shift-JIS to UTF-8 as iconv does it" "$(md5sum < oracle.txt)" "$(md5sum < d/sjis.txt)"
run "Target files:1, Replaced files:1" /F:utf8 /O:sjis d/sjis.txt
iconv -f UTF-8 -t CP932 oracle.txt > oracle.sjis
expect_eq "and back" "$(md5sum < oracle.sjis)" "$(md5sum < d/sjis.txt)"

printf 'x\xe3\x80\x80y \t\r\n\tz\x01\x1a\n' > d/t.txt
run "Target files:1, Replaced files:1" /F:utf8 /Z /W /T:4 /D d/t.txt
expect_file d/t.txt 'x  y\r\n    z\x1a\n'
printf 'p\x01q\x0b\n' > d/c.txt
run "Target files:1, Replaced files:1" /F:utf8 /A d/c.txt
expect_file d/c.txt 'p q \n'
printf 'ABCDEFGHIJ' > d/m.txt
run "Target files:1, Replaced files:1" /F:utf8 /M:4 d/m.txt
expect_file d/m.txt 'ABCD\r\nEFGH\r\nIJ'
printf 'pqrstuv' > d/l.txt
run "Target files:1, Replaced files:1" /F:utf8 /C:LF /L:3 d/l.txt
expect_file d/l.txt 'pqr\nstu\nv'

printf 'ABC abc Abc\n' > d/r.txt
run "Target files:1, Replaced files:1" /F:utf8 /P /RB:abc /RA:x d/r.txt
expect_file d/r.txt 'x x x\n'
printf '12-34 x 5-6\n' > d/e.txt
run "Target files:1, Replaced files:1" /F:utf8 /E '/RB:(\d+)-(\d+)' '/RA:$2-$1' d/e.txt
expect_file d/e.txt '34-12 x 6-5\n'
printf 'abcabc\n' > d/empty.txt
run "Target files:1, Replaced files:1" /F:utf8 /Z /RB:abc /RA: d/empty.txt
expect_file d/empty.txt '\n'

# Backup, time stamps, subfolders.
printf 'a\r\n' > d/k.txt
touch -d '2001-02-03 04:05:06.123456789' d/k.txt
run "Target files:1, Replaced files:1" /K /Q /C:LF d/k.txt
expect_file d/k.txt 'a\n'
expect_file d/k.txt.bak 'a\r\n'
expect_eq "time stamp kept" "2001-02-03 04:05:06.123456789" "$(stat -c %y d/k.txt | cut -c1-29)"

mkdir -p tree/sub/deep
printf 'a\r\n' > tree/1.txt
printf 'b\r\n' > tree/sub/2.txt
printf 'c\r\n' > tree/sub/deep/3.txt
printf 'd\r\n' > tree/sub/deep/4.dat
run "Target files:3, Replaced files:3" /Y /C:LF 'tree/*.txt'
expect_file tree/sub/deep/3.txt 'c\n'
expect_file tree/sub/deep/4.dat 'd\r\n'

# One target per invocation; the target is stored as a full path.
printf 'a\r\n' > d/first.txt
printf 'b\r\n' > d/second.txt
(cd d && "$BIN/sorrelc" /C:LF first.txt second.txt > /dev/null)
expect_file d/first.txt 'a\n'
expect_file d/second.txt 'b\r\n'
grep -q "\"TargetPath\"=\"$WORK/d/first.txt\"" "$XDG_CONFIG_HOME/sorrel/registry.reg"
expect_eq "the full path is stored" 0 $?

# Report lines and the summary in Japanese.
: > d/nothing.txt
out=$(SORREL_LANG=ja "$BIN/sorrelc" /C:LF d/nothing.txt)
expect_eq "Japanese report" "ファイル nothing.txt は内容が空です。
0個中 0個のファイルの置換を行いました。" "$(printf '%s' "$out" | tr -d '\r')"

finish
