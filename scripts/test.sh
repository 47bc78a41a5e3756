#!/usr/bin/env bash
# Sets up, builds and runs every test, the real-sound test included; then
# the audio library's tests once more, built as for processors other than
# x86 (in <build>-plain).
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
# The audio library once more as it builds without x86-only code.
VELMO_BUILD_DIR="$build-plain" VELMO_CMAKE_ARGS="-DVELMO_WERROR=ON -DVELMO_PLAIN_CPU=ON -DVELMO_AUDIO_ONLY=ON" \
    "$root/scripts/build.sh"
cd "$build-plain"
ctest --output-on-failure --timeout 600 -R '^audio$'
