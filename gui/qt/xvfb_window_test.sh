#!/usr/bin/env bash
# The real window on a real X server: sorrel shows its dialog under Xvfb,
# takes a typed path, and a real Esc closes it after saving the settings.
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

cat > "$WORK/session.sh" << 'INNER'
set -u
unset QT_QPA_PLATFORM
"$1/sorrel" > "$2/out" 2> "$2/err" &
pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --sync --onlyvisible --name '^Sorrel$' 2> /dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window appeared"; kill "$pid"; exit 1; }
xdotool windowfocus --sync "$window"
xdotool type --delay 5 '/tmp/xvfb/*.txt'
xdotool key Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2> /dev/null; then echo "Esc did not close the dialog"; kill "$pid"; exit 1; fi
wait "$pid"
INNER

xvfb-run -a -s '-screen 0 1280x1024x24' bash "$WORK/session.sh" "$BIN" "$WORK"
rc=$?
if [ "$rc" -ne 0 ]; then
  echo "FAIL: the session ended with $rc" >&2
  cat "$WORK/err" >&2
  exit 1
fi
grep -q '/tmp/xvfb/\*.txt' "$XDG_CONFIG_HOME/sorrel/registry.reg" || {
  echo "FAIL: the typed path was not saved" >&2
  exit 1
}
echo "ok"
