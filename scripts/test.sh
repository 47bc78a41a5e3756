#!/usr/bin/env bash
# Sets up, builds and runs every test, the real-sound test included.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMO_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
# Warnings are errors here; the program's own build only shows them.
VELMO_CMAKE_ARGS="-DVELMO_WERROR=ON ${VELMO_CMAKE_ARGS:-}" "$root/scripts/build.sh"
cd "$build"
# Every test case is a CTest test of its own; they run two at a time (each
# has private user folders, bus and sound server); the real-sound test runs alone.
ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
