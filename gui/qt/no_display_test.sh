#!/usr/bin/env bash
# sorrel started without a display says so and ends with 1 instead of
# crashing, and CUI mode still runs without one and without loading Qt.
set -u
BIN=${SORREL_BIN:?set SORREL_BIN to the folder of the built programs}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrel-nodisplay-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config SORREL_LANG=en
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
failures=0

# No display named, and one named that is not there.
for display in "" ":4711"; do
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$BIN/sorrel" > "$WORK/out" 2> "$WORK/err"
  rc=$?
  [ "$rc" -eq 1 ] || { echo "FAIL: exit code $rc, expected 1" >&2; failures=$((failures + 1)); }
  # Sorrel's own message alone: nothing of what Qt says on the way.
  [ "$(cat "$WORK/err")" == "sorrel: Cannot connect to a display, so the dialog cannot be shown. \
Run conversions without a display with sorrelc." ] || {
    echo "FAIL: standard error with DISPLAY=$display is not the message alone:" >&2
    cat "$WORK/err" >&2
    failures=$((failures + 1))
  }
done

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN/sorrel" /CUIMODE > "$WORK/out" 2> "$WORK/err"
rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: CUI mode exit code $rc" >&2; failures=$((failures + 1)); }
grep -q 'SetCurrentDirectory error.' "$WORK/out" ||
  { echo "FAIL: CUI mode printed:" >&2; cat "$WORK/out" "$WORK/err" >&2; failures=$((failures + 1)); }

LD_DEBUG=files env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN/sorrel" /CUIMODE \
  > /dev/null 2> "$WORK/loaded"
if grep -q -E 'libQt6|libsorrel_qt' "$WORK/loaded"; then
  echo "FAIL: CUI mode loaded the window's libraries:" >&2
  grep -E 'file=.*(libQt6|libsorrel_qt)' "$WORK/loaded" | head -3 >&2
  failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] && echo "ok"
exit $((failures > 0))
