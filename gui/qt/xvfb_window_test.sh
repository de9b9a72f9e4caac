#!/usr/bin/env bash
# The real window on a real X server: sorrel shows its dialog under Xvfb,
# takes a typed path, and a real Esc closes it after saving the settings; a
# damaged copy shows its error in a box and ends with 1 once it is closed.
set -u
BIN=${SORREL_BIN:?set SORREL_BIN to the folder of the built programs}
command -v xvfb-run > /dev/null && command -v xdotool > /dev/null || {
  echo "skipped: xvfb-run or xdotool is missing"
  exit 77
}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrel-xvfb-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config SORREL_LANG=ja
export XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# session.sh PROGRAM OUT KEYS...: starts PROGRAM with its output in OUT.out
# and OUT.err, waits for its window, sends the keys to it, and ends with the
# program's exit code once the keys have closed the window.
cat > "$WORK/session.sh" << 'INNER'
set -u
unset QT_QPA_PLATFORM
program=$1 out=$2
shift 2
"$program" > "$out.out" 2> "$out.err" &
pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --sync --onlyvisible --name '^Sorrel$' 2> /dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window appeared"; kill "$pid"; exit 99; }
xdotool windowfocus --sync "$window"
"$@"
for _ in $(seq 100); do
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2> /dev/null; then echo "the keys did not close the window"; kill "$pid"; exit 99; fi
wait "$pid"
INNER
session() {
  xvfb-run -a -s '-screen 0 1280x1024x24' bash "$WORK/session.sh" "$@"
}

session "$BIN/sorrel" "$WORK/dialog" \
  sh -c "xdotool type --delay 5 '/tmp/xvfb/*.txt' && xdotool key Escape"
rc=$?
if [ "$rc" -ne 0 ]; then
  echo "FAIL: the session ended with $rc" >&2
  cat "$WORK/dialog.err" >&2
  exit 1
fi
grep -q '/tmp/xvfb/\*.txt' "$XDG_CONFIG_HOME/sorrel/registry.reg" || {
  echo "FAIL: the typed path was not saved" >&2
  exit 1
}

# A copy with one byte of its constant data changed, beside the intact
# window library, shows its error in a box and ends with 1 once it is closed.
mkdir "$WORK/damaged"
cp "$BIN/sorrel" "$BIN/libsorrel_qt.so" "$WORK/damaged/"
offset=$(grep -obUaP 'S\x00e\x00t\x00C\x00u\x00r\x00r\x00e\x00n\x00t\x00D\x00' "$WORK/damaged/sorrel" |
  head -1 | cut -d: -f1)
printf 'Z' | dd of="$WORK/damaged/sorrel" bs=1 seek="$offset" conv=notrunc 2> /dev/null
session "$WORK/damaged/sorrel" "$WORK/damaged/run" xdotool key Return
rc=$?
if [ "$rc" -ne 1 ]; then
  echo "FAIL: the damaged program ended with $rc, not 1" >&2
  cat "$WORK/damaged/run.err" >&2
  exit 1
fi
echo "ok"
