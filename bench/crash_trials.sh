#!/usr/bin/env bash
# The full kill -9 trials: 200 kills at random moments of a run over many
# files and 20 inside the rewrite in place of a 150 MB file with two links.
# Every file must be old or new after each kill, or finished by the next run
# with a line, and no working file may be left. Usage:
#   bash bench/crash_trials.sh [BUILD-BIN-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
CRASH_RANDOM_TRIALS=${CRASH_RANDOM_TRIALS:-200} CRASH_INPLACE_TRIALS=${CRASH_INPLACE_TRIALS:-20} \
  CRASH_BIG_MB=${CRASH_BIG_MB:-150} CRASH_INPLACE_MS=${CRASH_INPLACE_MS:-12} \
  SORREL_BIN=${1:-$PWD/build/bin} bash tests/crash_test.sh
