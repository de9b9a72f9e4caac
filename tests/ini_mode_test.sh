#!/usr/bin/env bash
# INI mode: copies named sorrelc_o and sorrel_o keep their settings in
# sorrel.ini beside them and never touch the registry file.
. "$(dirname "$0")/lib.sh"

mkdir app
cp "$BIN/sorrelc" app/sorrelc_o
cp "$BIN/sorrel" app/sorrel_o
cp "$BIN/ms932-bestfit.cnv" app/
printf 'a\r\n' > a.txt
out=$(app/sorrelc_o /C:LF a.txt)
expect_eq "summary" "Target files:1, Replaced files:1" "$out"
expect_file a.txt 'a\n'
expect_eq "INI file starts with the UTF-16LE mark" "fffe" "$(head -c 2 app/sorrel.ini | od -An -tx1 | tr -d ' \n')"
expect_eq "the INI file holds the target" 1 \
  "$(iconv -f UTF-16LE -t UTF-8 app/sorrel.ini | tr -d '\r' | grep -c "^TargetPath=$WORK/a.txt\$")"
expect_eq "no registry file" "no" "$([ -e "$XDG_CONFIG_HOME/sorrel/registry.reg" ] && echo yes || echo no)"

# sorrel_o alone, started by hand in CUI mode, reads the same INI file.
printf 'b\r\n' > a.txt
(cd / && "$WORK/app/sorrel_o" /CUIMODE > /dev/null)
expect_file a.txt 'b\n'

finish
