#!/usr/bin/env bash
# Builds Sorrel twice, as it ships and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test in both builds; then runs
# each fuzz target for a while (FUZZ_SECONDS, 30 by default); then
# cross-builds the Windows programs and tests them under Wine
# (scripts/windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}
run() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

run build -DCMAKE_BUILD_TYPE=Release
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run build-asan -DCMAKE_BUILD_TYPE=Debug -DSORREL_SANITIZE=ON

bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"

bash scripts/windows.sh
