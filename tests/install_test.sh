#!/usr/bin/env bash
# The installed layout, as cmake --install lays it out in a temporary root:
# exactly the files of installed_files.txt; sorrelc run through a link from
# another folder converts real files and finds its converter data; the
# manual pages render without a warning in both languages and name every
# switch of the usage text; INI mode refuses an installed folder the user
# cannot write, and a portable copy made as README says works.
. "$(dirname "$0")/lib.sh"
BUILD=${SORREL_BUILD:?set SORREL_BUILD to the build folder}

DESTDIR=$WORK/root cmake --install "$BUILD" --prefix /usr > install.log 2>&1 ||
  { cat install.log >&2; fail "cmake --install failed"; finish; exit; }
usr=$WORK/root/usr

listing() {
  (cd "$1" && find . -mindepth 1 \( -type l -printf '%P -> %l\n' \) -o \( -type f -printf '%P\n' \) |
    LC_ALL=C sort)
}
expect_eq "installed files" "$(cat "$(dirname "$0")/installed_files.txt")" "$(listing "$usr")"

# sorrelc through a link in a folder of its own, on files in a third one.
mkdir -p tools files/sub
ln -s "$usr/bin/sorrelc" tools/convert
printf 'a\r\nb\r\n' > files/a.txt
printf 'c\r\n' > files/sub/b.txt
printf '\x82\xa0\r\n' > files/s.sjis
cd files
expect_eq "a tree through the link" "Target files:2, Replaced files:2" \
  "$("$WORK/tools/convert" /C:LF /Y '*.txt' 2>&1)"
expect_file a.txt 'a\nb\n'
expect_file sub/b.txt 'c\n'
# Shift-JIS is read through the converter data in the program folder.
expect_eq "Shift-JIS to UTF-8" "Target files:1, Replaced files:1" \
  "$("$WORK/tools/convert" /O:utf8 s.sjis 2>&1)"
expect_file s.sjis '\xe3\x81\x82\r\n'
cd "$WORK"

# The desktop entry starts the program the links in bin/ lead to.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$usr/share/applications/sorrel.desktop")
expect_eq "the desktop entry's program" "$usr/lib/sorrel/sorrel" "$(readlink -f "$usr/bin/$exec_name")"

# The manual pages: no warning from groff, and every switch of the usage text.
switches=$(SORREL_LANG=en "$usr/bin/sorrelc" | grep -o '/[A-Z][A-Z]*:\?' | sort -u)
for page in "$usr"/share/man/man1/sorrel*.1.gz "$usr"/share/man/ja/man1/sorrel*.1.gz; do
  checks=$((checks + 1))
  warnings=$(zcat "$page" | groff -k -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
done
for page in "$usr"/share/man/man1/sorrelc.1.gz "$usr"/share/man/ja/man1/sorrelc.1.gz; do
  text=$(zcat "$page" | groff -k -man -Tutf8 -P-cbu 2> /dev/null)
  for switch in $switches; do
    checks=$((checks + 1))
    grep -qF -- "$switch" <<< "$text" || fail "$page does not name $switch"
  done
done

# An installed folder is no place for sorrel.ini: a user who cannot write it
# is told so. Root writes anyway, so this runs as nobody.
if [ "$(id -u)" -eq 0 ] && command -v setpriv > /dev/null; then
  chmod 755 "$WORK"
  mkdir -m 777 nobody
  printf 'x\r\n' > nobody/a.txt
  out=$(setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$WORK/nobody" XDG_CONFIG_HOME="$WORK/nobody" "$usr/bin/sorrelc_o" /C:LF nobody/a.txt 2>&1)
  expect_eq "exit code of INI mode installed" 1 $?
  expect_eq "message of INI mode installed" \
    "sorrelc: Cannot store the settings in $usr/lib/sorrel/sorrel.ini - Permission denied" "$out"
  expect_file nobody/a.txt 'x\r\n'
fi

# A portable copy, made as README says, keeps its settings beside itself.
cp -r "$usr/lib/sorrel" "$HOME/sorrel"
printf 'p\r\n' > p.txt
expect_eq "the portable copy" "Target files:1, Replaced files:1" "$("$HOME/sorrel/sorrelc_o" /C:LF p.txt 2>&1)"
expect_file p.txt 'p\n'
expect_eq "its INI file" "yes" "$([ -f "$HOME/sorrel/sorrel.ini" ] && echo yes)"

finish
