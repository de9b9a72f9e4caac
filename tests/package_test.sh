#!/usr/bin/env bash
# The Debian package made from this build by cpack: its name, its files
# (those of installed_files.txt, owned by root), the dependencies that
# dpkg-shlibdeps derived from the libraries the programs link, its
# recommendations, stripped programs that still pass their integrity check,
# and lintian without an error (its other findings are printed).
. "$(dirname "$0")/lib.sh"
BUILD=${SORREL_BUILD:?set SORREL_BUILD to the build folder}
VERSION=${SORREL_VERSION:?set SORREL_VERSION to the version of the build}
for tool in cpack dpkg-deb dpkg-shlibdeps lintian file; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

cpack -G DEB -B "$WORK/pkg" --config "$BUILD/CPackConfig.cmake" > cpack.log 2>&1 ||
  { cat cpack.log >&2; fail "cpack failed"; finish; exit; }
deb=$WORK/pkg/sorrel_${VERSION}_amd64.deb
[ -f "$deb" ] || { ls "$WORK/pkg" >&2; fail "no $deb"; finish; exit; }

# Every file and link but the folders, without ./usr/ in front.
contents=$(dpkg-deb -c "$deb")
listed=$(grep -v '^d' <<< "$contents" | sed -E 's|^([^ ]+ +){5}\./usr/||' | LC_ALL=C sort)
expect_eq "the package's files" "$(cat "$(dirname "$0")/installed_files.txt")" "$listed"
expect_eq "owners other than root" "" "$(awk '$2 != "root/root"' <<< "$contents")"
# Without a postrm, a removed package leaves nothing behind, not even its name.
expect_eq "the control files" "control md5sums prerm" \
  "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed -n 's|^\./\(.\)|\1|p' | LC_ALL=C sort | xargs)"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 'libstdc\+\+6' libqt6widgets6 'libicu[0-9]+' libuchardet0 \
  'libboost-regex[0-9.]+(-icu[0-9]+)?'; do
  checks=$((checks + 1))
  grep -qE "(^|, )$library( |,|\$)" <<< "$depends" || fail "Depends lacks $library: $depends"
done
expect_eq "Recommends" "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n" \
  "$(dpkg-deb -f "$deb" Recommends)"
expect_eq "Section" "text" "$(dpkg-deb -f "$deb" Section)"

# Stripped, and still intact to its own check: sorrelc starts sorrel, and
# sorrel loads its window's library, which it refuses when damaged.
dpkg-deb -x "$deb" root
for program in sorrel sorrelc libsorrel_qt.so; do
  checks=$((checks + 1))
  file "root/usr/lib/sorrel/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
printf 'a\r\n' > a.txt
expect_eq "the packaged sorrelc" "Target files:1, Replaced files:1" "$(root/usr/bin/sorrelc /C:LF a.txt 2>&1)"
expect_file a.txt 'a\n'
QT_QPA_PLATFORM=offscreen timeout 3 root/usr/bin/sorrel > /dev/null 2> window.err
expect_eq "the packaged dialog still open after 3 s" 124 $?
expect_eq "its refusals" "" "$(grep '^sorrel' window.err)"

lintian --fail-on error --display-info --pedantic "$deb" > lintian.log 2>&1
expect_eq "lintian's exit code" 0 $?
grep -E '^[EWIPX]: ' lintian.log

finish
