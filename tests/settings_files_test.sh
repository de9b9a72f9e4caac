#!/usr/bin/env bash
# Settings files as users keep them, and stores that cannot be written:
# sorrelc refuses before anything is converted, sorrel says what it found.
. "$(dirname "$0")/lib.sh"

REG=$XDG_CONFIG_HOME/sorrel/registry.reg
KEY='[HKEY_CURRENT_USER\Software\FenwrightAns\sorrel\CurrentVersion]'

# run EXPECTED-EXIT EXPECTED-OUTPUT ARGS...: sorrelc's exit code and all it
# printed, with a time limit so that a run that blocks fails instead.
run() {
  local want_rc=$1 want_out=$2 out rc
  shift 2
  out=$(timeout 20 "$BIN/sorrelc" "$@" 2>&1)
  rc=$?
  expect_eq "exit code of sorrelc $*" "$want_rc" "$rc"
  expect_eq "output of sorrelc $*" "$want_out" "$out"
}

printf 'x\r\n' > a.txt

# A FIFO in place of the settings file blocks neither program.
mkdir -p "$XDG_CONFIG_HOME/sorrel"
mkfifo "$REG"
run 1 "sorrelc: The settings file is not a regular file - $REG" /C:LF a.txt
out=$(timeout 20 "$BIN/sorrel" /CUIMODE 2>&1)
expect_eq "exit code of sorrel with a FIFO for its settings" 0 $?
expect_eq "what sorrel says of a FIFO" \
  "Sorrel: The settings file $REG is not a regular file. Started with empty settings.
SetCurrentDirectory error." "$out"
rm "$REG"
expect_file a.txt 'x\r\n'

# A damaged file is said before the run by sorrel, and kept aside by the next
# sorrelc, which says so too.
printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n"orphan\r\n' "$KEY" > "$REG"
out=$("$BIN/sorrel" /CUIMODE 2>&1)
expect_eq "what sorrel says of a damaged file" \
  "Sorrel: Cannot parse the settings file $REG. Started with empty settings; the file will be kept under another name when the settings are next saved.
SetCurrentDirectory error." "$out"
out=$("$BIN/sorrelc" /C:LF a.txt 2>&1)
expect_eq "sorrelc keeps the damaged file aside" 1 \
  "$(printf '%s\n' "$out" | grep -c "^Cannot parse the settings file $REG. Kept it as $REG.damaged-")"
expect_eq "and converts" "Target files:1, Replaced files:1" "$(printf '%s\n' "$out" | tail -n 1)"
expect_file a.txt 'x\n'
expect_eq "files in the settings folder" 2 "$(ls "$XDG_CONFIG_HOME/sorrel" | wc -l)"

# An export in the older ANSI format, and a registry file that is a link into
# a dotfiles folder: read, and written through the link.
rm -rf "$XDG_CONFIG_HOME/sorrel"
mkdir -p dotfiles "$XDG_CONFIG_HOME/sorrel"
printf 'REGEDIT4\r\n\r\n%s\r\n"Other"="kept"\r\n"CharEncode"=dword:00000004\r\n' "$KEY" \
  > dotfiles/registry.reg
ln -s "$WORK/dotfiles/registry.reg" "$REG"
printf 'x\r\n' > a.txt
run 0 "Target files:1, Replaced files:1" /F:utf8 /C:LF a.txt
checks=$((checks + 1))
[ -L "$REG" ] || fail "the registry file is no longer a link"
expect_eq "the other value is kept" 1 "$(grep -c '^"Other"="kept"' dotfiles/registry.reg)"
expect_eq "the command line's value is stored" 1 \
  "$(grep -c '^"CharEncode"=dword:00000004' dotfiles/registry.reg)"

# A UTF-16LE INI file without its byte-order mark is read as such and written
# back in UTF-16LE without a mark.
mkdir ini
cp "$BIN/sorrelc" ini/sorrelc_o
cp "$BIN/sorrel" ini/sorrel_o
cp "$BIN/ms932-bestfit.cnv" ini/
printf '[Main]\r\nOther=kept\r\n' | iconv -f UTF-8 -t UTF-16LE > ini/sorrel.ini
printf 'x\r\n' > a.txt
out=$(ini/sorrelc_o /C:LF a.txt 2>&1)
expect_eq "INI mode converts" "Target files:1, Replaced files:1" "$out"
expect_eq "the INI file still begins with [ in UTF-16LE" "5b00" \
  "$(head -c 2 ini/sorrel.ini | od -An -tx1 | tr -d ' \n')"
expect_eq "and keeps its other key" 1 \
  "$(iconv -f UTF-16LE -t UTF-8 ini/sorrel.ini | tr -d '\r' | grep -c '^Other=kept$')"

# A search text with a line break replaces only what it says; in INI mode,
# where a line break cannot be stored, it is refused and nothing converted.
printf 'foo\nbar\nfoo\n' > r.txt
run 0 "Target files:1, Replaced files:1" "/RB:foo
bar" /RA:x r.txt
expect_file r.txt 'x\nfoo\n'
printf 'foo\nbar\nfoo\n' > r.txt
ini_before=$(md5sum < ini/sorrel.ini)
out=$(ini/sorrelc_o "/RB:foo
bar" /RA:x r.txt 2>&1)
expect_eq "exit code in INI mode" 1 $?
expect_eq "message in INI mode" "sorrelc: Cannot store this value in the settings as it is - /RB:foo
bar" "$out"
expect_eq "the INI file is as it was" "$ini_before" "$(md5sum < ini/sorrel.ini)"
expect_file r.txt 'foo\nbar\nfoo\n'
# A search text longer than sorrel reads back would match its own prefix.
printf 'yyy\r\n' > r.txt
run 1 "sorrelc: Cannot store this value in the settings as it is - /RB:$(printf 'y%.0s' $(seq 8192))" \
  "/RB:$(printf 'y%.0s' $(seq 8192))" /RA:z r.txt
expect_file r.txt 'yyy\r\n'

# Stores that cannot be written for the user they belong to: a read-only
# settings folder, and INI mode in a program folder the user cannot write,
# as a normal installation is. Root writes anyway, so these run as nobody.
if [ "$(id -u)" -eq 0 ] && command -v setpriv > /dev/null; then
  chmod 755 "$WORK"
  mkdir -m 777 nobody
  mkdir -p nobody/config/sorrel
  cp -r ini nobody/installed
  chown -R 65534:65534 nobody/config
  chmod 555 nobody/config/sorrel
  chmod 755 nobody/installed
  printf 'x\r\n' > nobody/a.txt
  chown 65534:65534 nobody/a.txt
  as_nobody() {
    setpriv --reuid=65534 --regid=65534 --clear-groups \
      env HOME="$WORK/nobody" XDG_CONFIG_HOME="$WORK/nobody/config" "$@"
  }
  out=$(as_nobody "$(programs_for_nobody)/sorrelc" /C:LF nobody/a.txt 2>&1)
  expect_eq "exit code on a read-only settings folder" 1 $?
  expect_eq "message on a read-only settings folder" \
    "sorrelc: Cannot store the settings in $WORK/nobody/config/sorrel/registry.reg - Permission denied" \
    "$out"
  out=$(as_nobody nobody/installed/sorrelc_o /C:LF nobody/a.txt 2>&1)
  expect_eq "exit code of INI mode in an installed folder" 1 $?
  expect_eq "message of INI mode in an installed folder" \
    "sorrelc: Cannot store the settings in $WORK/nobody/installed/sorrel.ini - Permission denied" \
    "$out"
  expect_file nobody/a.txt 'x\r\n'
fi

finish
