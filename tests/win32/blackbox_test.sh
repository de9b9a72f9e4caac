#!/usr/bin/env bash
# sorrelc.exe -> sorrel.exe /CUIMODE under Wine on real files: line ends,
# Shift-JIS and UTF-8, replacement, the backup, a read-only file, the report
# in both languages (Shift-JIS bytes on a redirected console), the registry
# and INI mode (sorrelc_o.exe and sorrel_o.exe), and the integrity check.
# Needs the Wine set-up of scripts/windows.sh (WINEPREFIX and a running
# wineserver).
. "$(dirname "$0")/../lib.sh"
: "${WINEPREFIX:?run through scripts/windows.sh}"

# The programs in a folder of their own, so that INI mode's sorrel.ini is
# made there and nowhere else.
mkdir prog
cp "$BIN"/sorrel.exe "$BIN"/sorrel_o.exe "$BIN"/sorrelc.exe "$BIN"/sorrelc_o.exe prog/

# A Windows path for a path of this folder.
win() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }

# sorrelc PROGRAM ARGS...: runs it with no terminal; its standard output and
# error land in out and err, both as the bytes Windows wrote.
sorrelc() {
  local program=$1
  shift
  timeout 60 wine "prog/$program" "$@" </dev/null >out 2>err
}

# run EXPECTED-SUMMARY ARGS...: sorrelc.exe in English, then its last line.
run() {
  local want=$1
  shift
  sorrelc sorrelc.exe "$@"
  expect_eq "exit code of sorrelc $*" 0 $?
  expect_eq "summary of sorrelc $*" "$want" "$(tr -d '\r' < out | tail -n 1)"
}

mkdir -p d/sub
printf 'a\r\nb\rc\n' > d/lines.txt
printf 'x\r\n' > d/sub/deep.TXT
run "Target files:2, Replaced files:2" /C:LF /Y "$(win d)\\*.txt"
expect_file d/lines.txt 'a\nb\nc\n'
expect_file d/sub/deep.TXT 'x\n'
run "Target files:1, Replaced files:1" /C:CRLF "$(win d/lines.txt)"
expect_file d/lines.txt 'a\r\nb\r\nc\r\n'
run "Target files:1, Replaced files:0" /C:CRLF "$(win d/lines.txt)"

# Shift-JIS and UTF-8, against iconv.
printf '\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8f\xcd\r\n\xb6\xc0\xb6\xc5 ASCII\r\n' > d/sjis.txt
iconv -f CP932 -t UTF-8 d/sjis.txt > oracle.txt
run "Target files:1, Replaced files:1" /F:sjis /O:utf8 "$(win d/sjis.txt)"
expect_eq "Shift-JIS to UTF-8 as iconv does it" "$(md5sum < oracle.txt)" "$(md5sum < d/sjis.txt)"
run "Target files:1, Replaced files:1" /F:utf8 /O:sjis "$(win d/sjis.txt)"
iconv -f UTF-8 -t CP932 oracle.txt > oracle.sjis
expect_eq "and back" "$(md5sum < oracle.sjis)" "$(md5sum < d/sjis.txt)"

# Literal and regular-expression replacement, with the backup of the
# original beside the file.
printf 'call 10-20 and 3-4\r\n' > d/rep.txt
run "Target files:1, Replaced files:1" /K /RB:call /RA:CALL "$(win d/rep.txt)"
expect_file d/rep.txt 'CALL 10-20 and 3-4\r\n'
expect_file d/rep.txt.bak 'call 10-20 and 3-4\r\n'
run "Target files:1, Replaced files:1" /E '/RB:(\d+)-(\d+)' '/RA:$2-$1' "$(win d/rep.txt)"
expect_file d/rep.txt 'CALL 20-10 and 4-3\r\n'

# A read-only file is refused with the system's text and left as it was.
printf 'keep\r\n' > d/ro.txt
chmod a-w d/ro.txt
run "Target files:1, Replaced files:0" /C:LF "$(win d/ro.txt)"
expect_file d/ro.txt 'keep\r\n'
checks=$((checks + 1))
grep -q '^ro.txt:' out || fail "a report line for the read-only file: $(cat out)"

# Japanese: the report and sorrelc's own messages are Shift-JIS bytes.
printf 'a\r\n' > d/ja.txt
SORREL_LANG=ja sorrelc sorrelc.exe /C:LF "$(win d/ja.txt)"
expect_eq "Japanese summary" "1個中 1個のファイルの置換を行いました。" \
  "$(iconv -f CP932 -t UTF-8 < out | tr -d '\r' | tail -n 1)"
SORREL_LANG=ja sorrelc sorrelc.exe /Q:x
expect_eq "exit code of a wrong switch" 1 $?
expect_eq "Japanese message" "sorrelc: 不正なオプションです - /Q:x" \
  "$(iconv -f CP932 -t UTF-8 < err | tr -d '\r')"

# The registry holds what sorrelc wrote; INI mode leaves it alone and keeps
# its own sorrel.ini in UTF-16LE beside the programs.
timeout 30 wine reg query 'HKCU\Software\FenwrightAns\sorrel\CurrentVersion' /v CrlfTransWay \
  </dev/null >reg.txt 2>&1
checks=$((checks + 1))
grep -q 'REG_DWORD.*0x1' reg.txt || fail "CrlfTransWay in the registry: $(cat reg.txt)"
printf 'i\n' > d/ini.txt
sorrelc sorrelc_o.exe /C:CRLF "$(win d/ini.txt)"
expect_eq "summary in INI mode" "Target files:1, Replaced files:1" "$(tr -d '\r' < out | tail -n 1)"
expect_file d/ini.txt 'i\r\n'
expect_eq "sorrel.ini starts with its UTF-16LE header" "fffe" "$(head -c 2 prog/sorrel.ini | od -An -tx1 | tr -d ' \n')"
checks=$((checks + 1))
iconv -f UTF-16LE -t UTF-8 prog/sorrel.ini | tr -d '\r' | grep -q "^CrlfTransWay=3$" ||
  fail "CrlfTransWay in sorrel.ini: $(iconv -f UTF-16LE -t UTF-8 prog/sorrel.ini)"
timeout 30 wine reg query 'HKCU\Software\FenwrightAns\sorrel\CurrentVersion' /v CrlfTransWay \
  </dev/null >reg.txt 2>&1
checks=$((checks + 1))
grep -q 'REG_DWORD.*0x1' reg.txt || fail "INI mode left the registry alone: $(cat reg.txt)"

# A program file that is not as the build sealed it refuses to start.
cp prog/sorrel.exe damaged.exe
printf 'x' >> damaged.exe
timeout 60 wine damaged.exe /CUIMODE </dev/null >out 2>err
expect_eq "exit code of a damaged program" 1 $?

finish
