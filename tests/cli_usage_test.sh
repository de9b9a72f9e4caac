#!/usr/bin/env bash
# sorrelc's usage text in both languages.
. "$(dirname "$0")/lib.sh"

for args in "" "/?" "-?"; do
  # shellcheck disable=SC2086
  out=$("$BIN/sorrelc" $args; echo "rc=$?")
  expect_eq "exit code of sorrelc $args" "rc=0" "$(printf '%s' "$out" | tail -n 1)"
done

"$BIN/sorrelc" > usage.en
expect_eq "English first line" "Sorrel for Command Line Edition" "$(sed -n 1p usage.en)"
expect_eq "English line 8 starts with U+3000" "　/K -- Creates backup files." "$(sed -n 8p usage.en)"
expect_eq "English line 20 starts with two blanks" "  /Q -- Do not change the timestamp." \
  "$(sed -n 20p usage.en)"
expect_eq "English line 22" "  /E -- /RB,/RA use regular expression." "$(sed -n 22p usage.en)"
expect_eq "English line count (28 lines and one more line end)" 29 "$(wc -l < usage.en)"

SORREL_LANG=ja "$BIN/sorrelc" > usage.ja
expect_eq "Japanese first line" "Sorrelコマンドライン版" "$(sed -n 1p usage.ja)"
expect_eq "Japanese line 20 starts with U+3000" "　/Q … タイムスタンプを維持する" "$(sed -n 20p usage.ja)"
expect_eq "Japanese line 22 starts with two blanks" \
  "  /E … /RB,/RAの文字列変換で正規表現(boost::regex)を用いる" "$(sed -n 22p usage.ja)"
expect_eq "Japanese line count" 29 "$(wc -l < usage.ja)"

# A usage text that could not be written does not pass for one that was.
"$BIN/sorrelc" '/?' > /dev/full
expect_eq "exit code of sorrelc /? on a full output" 3 $?

# Without SORREL_LANG the locale decides.
(unset SORREL_LANG; LANG=ja_JP.UTF-8 "$BIN/sorrelc") > usage.locale
expect_eq "Japanese from the locale" "Sorrelコマンドライン版" "$(sed -n 1p usage.locale)"

finish
