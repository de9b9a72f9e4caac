#!/usr/bin/env bash
# sorrel refuses to start when its code or constant data is damaged, and
# starts when only what no loader reads changed: after strip, after the
# stripping of Debian's packaging, and installed execute-only.
. "$(dirname "$0")/lib.sh"

mkdir app
cp "$BIN/sorrel" "$BIN/libsorrel_qt.so" "$BIN/ms932-bestfit.cnv" app/

# starts NAME: the copy app/NAME runs in CUI mode as an intact program does.
starts() {
  local err
  err=$("app/$1" /CUIMODE 2>&1 > /dev/null)
  expect_eq "exit code of $1" 0 $?
  expect_eq "standard error of $1" "" "$err"
}

# damage FILE OFFSET: adds one to the byte at OFFSET.
damage() {
  local old
  old=$(dd if="$1" bs=1 skip="$2" count=1 2> /dev/null | od -An -tu1 | tr -d ' ')
  printf "\\$(printf '%03o' $(((old + 1) % 256)))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2> /dev/null
}

# The offset of a text of the program's constant data, in UTF-16LE.
text_offset() {
  grep -obUaP 'S\x00e\x00t\x00C\x00u\x00r\x00r\x00e\x00n\x00t\x00D\x00' "$1" | head -1 | cut -d: -f1
}

starts sorrel

# What stripping tools do, one by one and as Debian's packaging does it.
cp app/sorrel app/stripped && strip app/stripped
cp app/sorrel app/nodebug && objcopy --strip-debug app/nodebug
cp app/sorrel app/packaged &&
  strip --remove-section=.comment --remove-section=.note --strip-unneeded app/packaged &&
  objcopy --add-gnu-debuglink=/dev/null app/packaged 2> /dev/null
for name in stripped nodebug packaged; do
  checks=$((checks + 1))
  cmp -s app/sorrel "app/$name" && fail "$name: the tool changed nothing"
  starts "$name"
done

# One byte of constant data changed: the copy refuses itself, with exit 1.
cp app/sorrel app/damaged
damage app/damaged "$(text_offset app/damaged)"
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM app/damaged /CUIMODE 2>&1)
expect_eq "exit code of a damaged program" 1 $?
expect_eq "message" "Sorrel: The program file is damaged; Sorrel cannot start." "$err"
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM app/damaged 2>&1)
expect_eq "exit code of a damaged program started for its window" 1 $?
expect_eq "message without a display" "Sorrel: The program file is damaged; Sorrel cannot start." "$err"
# A Qt platform that draws nowhere is no display to wait for a box on.
err=$(QT_QPA_PLATFORM=offscreen timeout 20 app/damaged 2>&1)
expect_eq "exit code of a damaged program on an offscreen platform" 1 $?

# A byte of the section table, which no loader reads, is not the code.
cp app/sorrel app/sections
damage app/sections $(($(stat -c %s app/sections) - 1))
starts sections

# The window's library is checked before any of it runs.
mkdir view
cp app/sorrel app/ms932-bestfit.cnv view/
cp app/libsorrel_qt.so view/
damage view/libsorrel_qt.so "$(text_offset view/libsorrel_qt.so)"
err=$(QT_QPA_PLATFORM=offscreen view/sorrel 2>&1)
expect_eq "exit code with a damaged window library" 1 $?
expect_eq "message of a damaged window library" \
  "sorrel: Cannot load $WORK/view/libsorrel_qt.so, so the dialog cannot be shown - the file is damaged" \
  "$err"

# Installed execute-only, the program cannot read its own file, and needs not.
if [ "$(id -u)" -eq 0 ] && command -v setpriv > /dev/null; then
  chmod 711 "$WORK" app
  chmod 111 app/sorrel
  mkdir -m 777 nobody
  as_nobody() {
    setpriv --reuid=65534 --regid=65534 --clear-groups \
      env HOME="$WORK/nobody" XDG_CONFIG_HOME="$WORK/nobody" "$@"
  }
  checks=$((checks + 1))
  as_nobody cat app/sorrel > /dev/null 2>&1 && fail "the execute-only copy is readable"
  err=$(as_nobody app/sorrel /CUIMODE 2>&1 > /dev/null)
  expect_eq "exit code of an execute-only program" 0 $?
  expect_eq "standard error of an execute-only program" "" "$err"
  chmod 755 app/sorrel
fi

finish
