#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for the
# given number of seconds (default 30), one after the other, from a copy of
# its checked-in corpus. Exits non-zero when any target finds a crash, a
# sanitizer report or a broken property; the input that did it is kept in
# the run's temporary folder and its path is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [seconds]" >&2
  exit 2
fi
targets=(reader transforms byte_path replacement settings cli)

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSORREL_FUZZ=ON >/dev/null
cmake --build build-fuzz --target sorrel_fuzzers -j2

work="$(mktemp -d "${TMPDIR:-/tmp}/sorrel-fuzz.XXXXXX")"
passed=0
failed=0
for target in "${targets[@]}"; do
  corpus="$work/$target/corpus"
  mkdir -p "$corpus"
  cp fuzz/corpus/"$target"/* "$corpus"/
  args=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$work/$target/")
  if [ -f fuzz/dict/"$target".dict ]; then args+=(-dict="$root/fuzz/dict/$target.dict"); fi
  # The byte path's blocks of 16 and 32 bytes need inputs longer than
  # libFuzzer's length control lets grow in a short run.
  if [ "$target" = byte_path ]; then args+=(-max_len=4102 -len_control=0); fi
  echo "== fuzz_$target for ${seconds}s"
  if (cd "$work/$target" && "$root/build-fuzz/bin/fuzz_$target" "${args[@]}" "$corpus" \
        >"$work/$target/log" 2>&1); then
    passed=$((passed + 1))
    grep -E '^(Done|stat::number_of_executed_units)' "$work/$target/log" || true
  else
    failed=$((failed + 1))
    tail -n 40 "$work/$target/log"
    echo "fuzz_$target failed; its log and the input are in $work/$target" >&2
  fi
done
echo "fuzz: $passed passed, $failed failed"
if [ "$failed" -ne 0 ]; then exit 1; fi
rm -rf "$work"
