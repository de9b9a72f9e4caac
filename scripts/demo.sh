#!/usr/bin/env bash
# Builds Sorrel and runs one real conversion over a copy of the sample files:
# every text file of samples/ and its subfolder, whatever its code page, is
# rewritten as UTF-8 with LF line ends, tabs expanded and trailing blanks
# removed. Shows each file before and after.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --if-missing
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j2 --target sorrel sorrelc > /dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/sorrel-demo-XXXXXX")
cp -r samples "$work/"
export XDG_CONFIG_HOME=$work/config

show() {
  find "$work/samples" -type f | sort | while read -r f; do
    printf '%-32s %-12s CR: %2d  tabs: %2d  blanks at line ends: %d\n' "${f#"$work"/}" \
      "$(file -b --mime-encoding "$f")" "$(tr -cd '\r' < "$f" | wc -c)" \
      "$(tr -cd '\t' < "$f" | wc -c)" "$(tr '\r' '\n' < "$f" | grep -c '[[:blank:]]$')"
  done
}

echo "== Before"
show
echo
echo "== sorrelc /F:auto /O:utf8 /C:LF /W /T:4 /Y '$work/samples/*.txt'"
build/bin/sorrelc /F:auto /O:utf8 /C:LF /W /T:4 /Y "$work/samples/*.txt"
echo
echo "== After"
show
echo
for f in "$work"/samples/minutes-sjis.txt "$work"/samples/archive/old-eucjp.txt; do
  echo "-- ${f#"$work"/} (line ends shown as \$)"
  sed 's/$/$/' "$f"
done
echo
echo "The converted copies are in $work/samples."
