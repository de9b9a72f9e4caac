#!/usr/bin/env bash
# sorrelc.exe -> sorrel.exe /CUIMODE under Wine on real files, in both
# languages and both stores: line ends, Shift-JIS and UTF-8 against iconv,
# replacement and the backup, a read-only file, a binary file under
# detection, characters a page lacks, UTF-16 units, two runs at once, a
# store that cannot be written, a report that cannot be written, and the
# integrity check. Needs the Wine set-up of scripts/windows.sh (WINEPREFIX
# and a running wineserver).
. "$(dirname "$0")/../lib.sh"
: "${WINEPREFIX:?run through scripts/windows.sh}"

# The programs in a folder of their own, so that INI mode's sorrel.ini is
# made there and nowhere else.
mkdir prog
cp "$BIN"/sorrel.exe "$BIN"/sorrel_o.exe "$BIN"/sorrelc.exe "$BIN"/sorrelc_o.exe prog/
timeout 30 wine reg delete 'HKCU\Software\FenwrightAns\sorrel' /f </dev/null >/dev/null 2>&1

# A Windows path for a path of this folder.
win() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }

# sorrelc PROGRAM ARGS...: runs it with no terminal; its standard output and
# error land in out and err, both as the bytes Windows wrote.
sorrelc() {
  local program=$1
  shift
  timeout 60 wine "prog/$program" "$@" </dev/null >out 2>err
}
# The last line of out, read as Shift-JIS.
summary() { iconv -f CP932 -t UTF-8 < out | tr -d '\r' | tail -n 1; }

# run EXPECTED-SUMMARY ARGS...: sorrelc.exe in English, then its last line.
run() {
  local want=$1
  shift
  sorrelc sorrelc.exe "$@"
  expect_eq "exit code of sorrelc $*" 0 $?
  expect_eq "summary of sorrelc $*" "$want" "$(summary)"
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

# Under detection a binary file is skipped with a line; characters that the
# output page lacks are written as "?" and reported; /L: counts a pair as
# one character.
printf 'PK\x03\x04\x00\x00bin\r\n' > d/zip.txt
run "Target files:0, Replaced files:0" /F:auto /C:LF "$(win d/zip.txt)"
expect_file d/zip.txt 'PK\x03\x04\x00\x00bin\r\n'
expect_eq "binary line" "Skipped a binary file - zip.txt." "$(tr -d '\r' < out | head -n 1)"
printf '\xe6\x97\xa5 \xe2\x82\xac\r\n' > d/euro.txt
run "Target files:1, Replaced files:1" /F:utf8 /O:sjis "$(win d/euro.txt)"
expect_file d/euro.txt '\x93\xfa ?\r\n'
expect_eq "forced conversion line" \
  "euro.txt:Force Conversion - Unconvertible charactors are contained." "$(tr -d '\r' < out | head -n 1)"
printf '\xff\xfea\x00\x3d\xd8\x00\xde' > d/pair.txt
run "Target files:1, Replaced files:1" /F:utf16 /L:1 "$(win d/pair.txt)"
expect_file d/pair.txt '\xff\xfea\x00\r\x00\n\x00\x3d\xd8\x00\xde'

# Japanese: the report and sorrelc's own messages are Shift-JIS bytes.
printf 'a\r\n' > d/ja.txt
SORREL_LANG=ja sorrelc sorrelc.exe /C:LF "$(win d/ja.txt)"
expect_eq "Japanese summary" "1個中 1個のファイルの置換を行いました。" "$(summary)"
SORREL_LANG=ja sorrelc sorrelc.exe /Q:x
expect_eq "exit code of a wrong switch" 1 $?
expect_eq "Japanese message" "sorrelc: 不正なオプションです - /Q:x" \
  "$(iconv -f CP932 -t UTF-8 < err | tr -d '\r')"

# The registry holds what sorrelc wrote; INI mode leaves it alone and keeps
# its own sorrel.ini in UTF-16LE beside the programs, in both languages.
reg_value() {
  timeout 30 wine reg query 'HKCU\Software\FenwrightAns\sorrel\CurrentVersion' /v "$1" \
    </dev/null 2>/dev/null | tr -d '\r' | grep "$1"
}
checks=$((checks + 1))
[[ "$(reg_value CrlfTransWay)" == *REG_DWORD*0x1 ]] || fail "CrlfTransWay: $(reg_value CrlfTransWay)"
printf 'i\n' > d/ini.txt
sorrelc sorrelc_o.exe /C:CRLF "$(win d/ini.txt)"
expect_eq "summary in INI mode" "Target files:1, Replaced files:1" "$(summary)"
expect_file d/ini.txt 'i\r\n'
expect_eq "sorrel.ini starts with its UTF-16LE header" "fffe" "$(head -c 2 prog/sorrel.ini | od -An -tx1 | tr -d ' \n')"
checks=$((checks + 1))
iconv -f UTF-16LE -t UTF-8 prog/sorrel.ini | tr -d '\r' | grep -q "^CrlfTransWay=3$" ||
  fail "CrlfTransWay in sorrel.ini: $(iconv -f UTF-16LE -t UTF-8 prog/sorrel.ini)"
checks=$((checks + 1))
[[ "$(reg_value CrlfTransWay)" == *REG_DWORD*0x1 ]] || fail "INI mode changed the registry"
printf 'j\n' > d/ini-ja.txt
SORREL_LANG=ja sorrelc sorrelc_o.exe /C:CR "$(win d/ini-ja.txt)"
expect_eq "Japanese summary in INI mode" "1個中 1個のファイルの置換を行いました。" "$(summary)"
expect_file d/ini-ja.txt 'j\r'

# Runs started together each convert their own file with their own
# switches, in both stores: the store is written once under the lock, which
# sorrel.exe lets go of once it has read it.
pairs() {
  local program=$1 i
  rm -rf pairs && mkdir pairs
  for i in $(seq 1 6); do
    printf 'x\r\n' > "pairs/a$i.txt"
    printf 'x\r\n' > "pairs/b$i.txt"
  done
  for i in $(seq 1 6); do
    timeout 120 wine "prog/$program" /C:LF "$(win "pairs/a$i.txt")" </dev/null >/dev/null 2>&1 &
    timeout 120 wine "prog/$program" /RB:x /RA:xx "$(win "pairs/b$i.txt")" </dev/null >/dev/null 2>&1 &
  done
  wait
  local crossed=0
  for i in $(seq 1 6); do
    [ "$(od -An -tx1 "pairs/a$i.txt" | tr -d ' \n')" == "780a" ] || crossed=$((crossed + 1))
    [ "$(od -An -tx1 "pairs/b$i.txt" | tr -d ' \n')" == "78780d0a" ] || crossed=$((crossed + 1))
  done
  expect_eq "$program: files converted with another run's settings" 0 "$crossed"
}
pairs sorrelc.exe
pairs sorrelc_o.exe

# INI mode where the INI file cannot be written (a read-only file in a
# read-only folder, which Wine refuses even to root): nothing is started.
mkdir ro-prog && cp prog/sorrelc_o.exe prog/sorrel_o.exe ro-prog/
printf '\xff\xfe\r\x00\n\x00' > ro-prog/sorrel.ini
chmod a-w ro-prog/sorrel.ini ro-prog
printf 'x\r\n' > d/kept.txt
timeout 60 wine ro-prog/sorrelc_o.exe /C:LF "$(win d/kept.txt)" </dev/null >out 2>err
expect_eq "exit code with a store that cannot be written" 1 $?
checks=$((checks + 1))
[[ "$(tr -d '\r' < err)" == "sorrelc: Cannot store the settings in $(win ro-prog)\\sorrel.ini - "* ]] ||
  fail "message of a store that cannot be written: $(cat err)"
expect_file d/kept.txt 'x\r\n'
chmod u+w ro-prog

# A report that cannot be written ends the run with a failure.
printf 'p\n' > d/pipe.txt
timeout 60 wine prog/sorrelc.exe /C:CRLF "$(win d/pipe.txt)" </dev/null 2>/dev/null | true
expect_eq "exit code when the report was lost" 3 "${PIPESTATUS[0]}"

# A program file damaged in its constant data refuses to start; a byte
# after its sections, which no loader reads, does not matter.
text_offset() {
  grep -obUaP 'S\x00e\x00t\x00C\x00u\x00r\x00r\x00e\x00n\x00t\x00D\x00' "$1" | head -1 | cut -d: -f1
}
cp prog/sorrel.exe damaged.exe
offset=$(text_offset damaged.exe)
printf 'X' | dd of=damaged.exe bs=1 seek="$offset" conv=notrunc 2>/dev/null
timeout 60 wine damaged.exe /CUIMODE </dev/null >out 2>err
expect_eq "exit code of a damaged program" 1 $?
expect_eq "its message" "Sorrel: The program file is damaged; Sorrel cannot start." \
  "$(tr -d '\r' < err)"
cp prog/sorrel.exe appended.exe && printf 'x' >> appended.exe
timeout 60 wine appended.exe /CUIMODE </dev/null >out 2>err
expect_eq "exit code of a program with a byte appended" 0 $?

finish
