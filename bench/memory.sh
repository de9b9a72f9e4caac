#!/usr/bin/env bash
# Peak memory of one run against its bound, for conversions that keep, grow
# or re-encode large files, and for results too long to hold (refused): 3 x
# the larger of the input and the output + 32 MiB where the steps run on the
# bytes (line ends in the same page), 5 x elsewhere. The peak is the largest
# resident set of sorrelc and sorrel, as GNU time reports it (package time).
# Usage: bash bench/memory.sh [BUILD-BIN-FOLDER]
set -eu  # no pipefail: yes | head ends yes with SIGPIPE
cd "$(dirname "$0")/.."
BIN=${1:-$PWD/build/bin}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrel-memory-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config SORREL_LANG=en
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
cd "$WORK"

mib() { echo $((($1 + 524288) >> 20)); }
printf '%-44s %8s %8s %9s %9s %s\n' case "in MiB" "out MiB" "peak MiB" "bound MiB" result
# measure NAME FACTOR FILE ARGS...: runs sorrelc on FILE and prints the row,
# against FACTOR x the larger file + 32 MiB.
measure() {
  local name=$1 factor=$2 file=$3
  shift 3
  local in
  in=$(stat -c %s "$file")
  local peak
  peak=$( { /usr/bin/time -f '%M' "$BIN/sorrelc" "$@" "$file" > out.txt; } 2>&1 | tail -n 1)
  local out
  out=$(stat -c %s "$file")
  local line
  line=$(head -n 1 out.txt | tr -d '\r')
  local larger=$((in > out ? in : out))
  local bound=$((factor * larger + (32 << 20)))
  local verdict=within
  [ $((peak * 1024)) -le $bound ] || verdict=OVER
  case $line in Not\ enough\ memory*) verdict="$verdict (refused)" ;; esac
  printf '%-44s %8s %8s %9s %9s %s\n' "$name" "$(mib "$in")" "$(mib "$out")" \
    "$(mib $((peak * 1024)))" "$(mib $bound)" "$verdict"
}

line='a line of ASCII text that is long enough to be typical'
yes "$line" | head -n 3500000 | sed 's/$/\r/' > crlf.txt
measure "CR+LF to LF, 200 MB" 3 crlf.txt /C:LF
yes "$line" | head -n 1800000 > lf.txt
measure "LF to CR+LF, 100 MB (grows)" 3 lf.txt /C:CRLF
yes "$line" | head -n 1800000 > utf16.txt
measure "ASCII to UTF-16, 100 MB (doubles)" 5 utf16.txt /F:sjis /O:utf16
printf '\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8f\xcd\r\n' > one.sjis
yes "$(cat one.sjis)" | head -n 7000000 > sjis.txt
measure "Shift-JIS to UTF-8, 100 MB" 5 sjis.txt /F:sjis /O:utf8
yes "$line" | head -n 3500000 > linked.txt
ln linked.txt linked2.txt
measure "hard-linked, rewritten in place, 190 MB" 3 linked.txt /F:sjis /C:CRLF
yes abcdefghi | head -n 500000 > grow.txt
measure "regex, 5 MB grown 10-fold" 5 grow.txt /E /RB:b "/RA:$(printf '%0100d' 0)"
yes abcdefghi | head -n 500000 > grow2.txt
measure "literal, 5 MB grown 10-fold" 5 grow2.txt /RB:b "/RA:$(printf '%0100d' 0)"
yes abcdefghi | head -n 500000 > huge.txt
measure "regex, 5 MB grown 900-fold (too long)" 5 huge.txt /E '/RB:[a-i]' "/RA:$(printf '%01000d' 0)"
measure "literal, 5 MB grown 500-fold (too long)" 5 huge.txt /RB:a "/RA:$(printf '%05000d' 0)"
