#!/usr/bin/env bash
# Code pages end to end through sorrelc: the JIS pages' half-width katakana,
# the report of characters written as "?", UTF-16 units, the pages read
# through iconv, UTF-7 from other tools, detection and the "*." wildcard.
. "$(dirname "$0")/lib.sh"

# run ARGS...: runs sorrelc and prints its output without CRs.
run() { "$BIN/sorrelc" "$@" 2>&1 | tr -d '\r'; }

mkdir d
kana='\xb1\xb2\xb3 \xb6\xc0\xb6\xc5\r\n'  # ｱｲｳ ｶﾀｶﾅ in Shift-JIS
printf "$kana" > d/k1.txt && printf "$kana" > d/k2.txt && printf "$kana" > d/k3.txt
run /F:sjis /O:50221 d/k1.txt > /dev/null
expect_file d/k1.txt '\x1b(I123\x1b(B \x1b(I6@6E\x1b(B\r\n'
run /F:sjis /O:50222 d/k2.txt > /dev/null
expect_file d/k2.txt '\x0e123\x0f \x0e6@6E\x0f\r\n'
expect_eq "50220 says it widened the kana" \
  "k3.txt:Force Conversion - Half-width katakana are converted to full-width." \
  "$(run /F:sjis /O:jis d/k3.txt | head -n 1)"
expect_file d/k3.txt '\x1b$B%%"%%$%%&\x1b(B \x1b$B%%+%%?%%+%%J\x1b(B\r\n'
run /F:50222 /O:sjis d/k2.txt > /dev/null
expect_file d/k2.txt "$kana"

printf '\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80 \xe2\x82\xac \xc3\xa9' > d/lost.txt
expect_eq "characters written as ? are reported" \
  "lost.txt:Force Conversion - Unconvertible charactors are contained.
Target files:1, Replaced files:1" "$(run /F:utf8 /O:sjis d/lost.txt)"
expect_file d/lost.txt '\x93\xfa\x96\x7b ? ? ?'

# JIS X 0212 is read in the JIS pages and kept in EUC-JP; the JIS writer,
# plain ISO-2022-JP, lacks it and says so.
printf 'a\x1b$(D\x30\x21\x1b(Bb\r\n' > d/x0212.txt
expect_eq "a JIS X 0212 character written as ? is reported" \
  "x0212.txt:Force Conversion - Unconvertible charactors are contained." \
  "$(run /F:jis /C:LF d/x0212.txt | head -n 1)"
printf 'a\x8f\xb0\xa1b\r\n' > d/x0212e.txt
run /F:euc /C:LF d/x0212e.txt > /dev/null
expect_file d/x0212e.txt 'a\x8f\xb0\xa1b\n'

# A pair is one character to /L:, and a lone surrogate in UTF-16 with a
# mark is read and written back as it is.
printf '\xff\xfea\x00\x3d\xd8\x00\xde' > d/pair.txt
run /L:1 /C:LF d/pair.txt > /dev/null
expect_file d/pair.txt '\xff\xfea\x00\n\x00\x3d\xd8\x00\xde'
printf '\xff\xfe\x3d\xd8\n\x00' > d/lone.txt
run /C:CRLF d/lone.txt > /dev/null
expect_file d/lone.txt '\xff\xfe\x3d\xd8\r\x00\n\x00'

printf 'abc' > d/ebcdic.txt
run /F:utf8 /O:20880 d/ebcdic.txt > /dev/null
run /F:20880 /O:1361 d/ebcdic.txt > /dev/null
run /F:1361 /O:utf8 d/ebcdic.txt > /dev/null
expect_file d/ebcdic.txt 'abc'

printf 'C:\\tmp\\+ZeVnLIqe-~1.txt' > d/utf7.txt
run /F:utf7 /O:utf8 d/utf7.txt > /dev/null
expect_file d/utf7.txt 'C:\\tmp\\\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e~1.txt'

# Detection: half-width katakana in Shift-JIS and in EUC-JP.
printf '\xcc\xd8\xba\xd0 \xd4\xcf\xc0\xde \xc0\xdb\xb3' > d/sjis.txt
printf '\x8e\xcc\x8e\xd8\x8e\xba\x8e\xd0 \x8e\xd4\x8e\xcf\x8e\xc0\x8e\xde \x8e\xc0\x8e\xdb\x8e\xb3' \
  > d/euc.txt
run /F:auto /O:utf8 d/sjis.txt > /dev/null
run /F:auto /O:utf8 d/euc.txt > /dev/null
expect_eq "Shift-JIS detected" "ﾌﾘｺﾐ ﾔﾏﾀﾞ ﾀﾛｳ" "$(cat d/sjis.txt)"
expect_eq "EUC-JP detected" "ﾌﾘｺﾐ ﾔﾏﾀﾞ ﾀﾛｳ" "$(cat d/euc.txt)"

mkdir w
printf 'a\r\n' > w/README && printf 'a\r\n' > w/a.txt
expect_eq "*. takes names without an extension" "Target files:1, Replaced files:1" \
  "$(run /C:LF 'w/*.')"
expect_file w/README 'a\n'
expect_file w/a.txt 'a\r\n'

finish
