#!/usr/bin/env bash
# Hostile trees, other users and broken pipes, through sorrelc as a user meets
# them: backups that grant no one more, planted links, ACLs, binary files, a
# closed output, an abort in the middle of an expression, and a replacement
# too large to hold. Cases that need another user run only as root.
. "$(dirname "$0")/lib.sh"

# Report lines end in CR+LF; the shell compares them without the CR.
run() { "$BIN/sorrelc" "$@" 2>&1 | tr -d '\r'; }
mode_of() { stat -c '%a %U %G' "$1"; }
root=0
[ "$(id -u)" -eq 0 ] && root=1
# Runs a command as nobody, with a settings folder of its own.
as_nobody() {
  HOME=$WORK/nobody XDG_CONFIG_HOME=$WORK/nobody setpriv --reuid=nobody --regid=nogroup \
    --clear-groups "$@"
}
if [ $root -eq 1 ]; then
  chmod 755 "$WORK"
  mkdir -p "$WORK/nobody" && chown nobody:nogroup "$WORK/nobody"
else
  echo "SKIP: the cases with another user need root"
fi

# Backups keep the owner and the group, or else lose the set-ID bits.
if [ $root -eq 1 ]; then
  mkdir b
  printf '#!/bin/sh\r\n' > b/tool
  printf 'mine\r\n' > b/private.txt
  chown nobody:nogroup b/tool b/private.txt
  chmod 4755 b/tool
  chmod 600 b/private.txt
  run /K /C:LF 'b/*' > /dev/null
  expect_eq "backup of a setuid file keeps its owner" "4755 nobody nogroup" "$(mode_of b/tool.bak)"
  expect_eq "backup of a 0600 file is its owner's" "600 nobody nogroup" "$(mode_of b/private.txt.bak)"

  mkdir -m 777 n
  printf 'x\r\n' > n/tool
  chmod 6777 n/tool
  out=$(as_nobody "$(programs_for_nobody)/sorrelc" /K /C:LF n/tool 2>&1)
  expect_eq "nobody's run converts" "Target files:1, Replaced files:1" "$(printf '%s\n' "$out" | tail -n 1)"
  expect_eq "nobody's backup has no set-ID bits" "777 nobody nogroup" "$(mode_of n/tool.bak)"
  expect_eq "the file stays root's" "root" "$(stat -c %U n/tool)"
fi

mkdir k
printf 'a\r\n' > k/a.txt
printf 'older backup\n' > k/a.txt.bak
chmod 444 k/a.txt.bak
out=$(run /K /C:LF k/a.txt)
expect_eq "a read-only backup is not replaced" "Cannot create a backup file - a.txt.bak." \
  "$(printf '%s\n' "$out" | head -n 1)"
expect_file k/a.txt 'a\r\n'
expect_file k/a.txt.bak 'older backup\n'

# A link that another user planted is not followed, to a file or a folder.
if [ $root -eq 1 ]; then
  mkdir -m 700 rootonly
  printf 'secret\r\n' > rootonly/secret.txt
  chmod 644 rootonly/secret.txt
  mkdir tree && chown nobody:nogroup tree
  printf 'own\r\n' > tree/own.txt
  as_nobody ln -s ../rootonly/secret.txt tree/notes.txt
  as_nobody ln -s ../rootonly tree/sub
  out=$(run /K /C:LF /Y 'tree/*.txt')
  expect_file rootonly/secret.txt 'secret\r\n'
  expect_file tree/own.txt 'own\n'
  expect_eq "no backup of the secret" "" "$(ls tree | grep bak | grep -v own)"
  expect_eq "the file link is reported" 1 \
    "$(grep -c '^Did not follow a symbolic link of another user - notes.txt\.$' <<< "$out")"
  expect_eq "the folder link is reported" 1 \
    "$(grep -c '^Did not follow a symbolic link of another user - sub\.$' <<< "$out")"
fi

# ACLs and extended attributes come along with the new content.
mkdir acl
printf 'x\r\n' > acl/f.txt
if ! command -v setfacl > /dev/null; then
  echo "SKIP: ACLs: setfacl (package acl) is missing"
elif ! setfattr -n user.note -v kept acl/f.txt 2> /dev/null; then
  echo "SKIP: ACLs: $(df --output=fstype . | tail -n 1) here has no user.* attributes"
else
  setfacl -m g::---,u:daemon:rw-,m::rw- acl/f.txt
  before=$(getfacl -cp acl/f.txt; getfattr -d acl/f.txt)
  run /C:LF acl/f.txt > /dev/null
  expect_file acl/f.txt 'x\n'
  expect_eq "ACL and attributes kept" "$before" "$(getfacl -cp acl/f.txt; getfattr -d acl/f.txt)"
fi

# Under detection binary files are left whole; with a code page given, NUL
# bytes go as they always did.
mkdir bin
printf 'PK\003\004\012\000\000\000\000\000a.txt\r\nline\r\n' > bin/stored.zip
printf '%%PDF-1.4\r\nstream\r\n\000\001\002\r\nendstream\r\n' > bin/doc.pdf
cp bin/stored.zip zip.orig
cp bin/doc.pdf pdf.orig
out=$(run /F:auto /C:LF 'bin/*.*')
expect_eq "binary files untouched" "" "$(cmp bin/stored.zip zip.orig; cmp bin/doc.pdf pdf.orig)"
expect_eq "binary files reported" 2 "$(grep -c '^Skipped a binary file - ' <<< "$out")"
run /F:sjis /C:LF bin/doc.pdf > /dev/null
expect_file bin/doc.pdf '%%PDF-1.4\nstream\n\001\002\nendstream\n'

# A closed output neither kills the run half-way nor passes for success.
mkdir pipe
for i in $(seq 1 1500); do
  : > "pipe/e$i.txt"
  printf 'a\r\n' > "pipe/f$i.txt"
done
"$BIN/sorrelc" /C:LF 'pipe/*.txt' 2>&1 | head -n 1 > /dev/null
expect_eq "exit code with the output closed" 3 "${PIPESTATUS[0]}"
expect_eq "every file converted all the same" 0 "$(grep -l $'\r' pipe/f*.txt | wc -l)"

# An abort ends an expression that would run for most of a minute.
for i in $(seq 1 2000); do printf '%02000d\n' 0; done | tr 0 a > long.txt
cp long.txt long.orig
set -m
"$BIN/sorrelc" /E '/RB:(?=(\w*))\1X' /RA:y long.txt > abort.out 2>&1 &
pid=$!
set +m
# Once sorrel catches SIGINT (a slow build starts slowly), well into the match.
catches_interrupt() {
  local child
  child=$(pgrep -P "$pid") || return 1
  local mask
  mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$child/status" 2> /dev/null) || return 1
  [ -n "$mask" ] && [ $((0x$mask & 2)) -ne 0 ]
}
for _ in $(seq 1 600); do
  catches_interrupt && break
  sleep 0.05
done
sleep 1
start=$(date +%s%N)
kill -INT -- "-$pid"
wait "$pid"
took=$((($(date +%s%N) - start) / 1000000))
checks=$((checks + 1))
[ "$took" -lt 1500 ] || fail "the abort took $took ms"
expect_eq "the run says it was aborted" "Aborted." "$(head -n 1 abort.out | tr -d '\r')"
expect_eq "the file is untouched" "" "$(cmp long.txt long.orig)"

# A result too long to hold is refused before it is built.
head -c 5000000 long.orig > five.txt
out=$(run "/RB:a" "/RA:$(printf '%05000d' 0)" five.txt)
expect_eq "too long a result" "Not enough memory. - five.txt" "$(head -n 1 <<< "$out")"
expect_eq "and the file untouched" "" "$(cmp five.txt <(head -c 5000000 long.orig))"

finish
