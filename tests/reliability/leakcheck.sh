#!/usr/bin/env bash
# Plays 50 files back to back under valgrind and fails on any definite leak
# or invalid memory access.  tests/reliability/leakcheck.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy VELMO_LONG_RUN_FILES=50
exec valgrind --quiet --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --error-exitcode=1 "$build/tests/test_reliability" --gtest_filter='LongRun.FilesBackToBack*'
