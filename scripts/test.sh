#!/usr/bin/env bash
# Sets up, builds and runs every test, the real-sound test included; then
# the audio library's tests once more, built as for processors other than
# x86 (in <build>-plain).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMO_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure --timeout 600 "$@"
VELMO_BUILD_DIR="$build-plain" VELMO_CMAKE_ARGS="-DVELMO_PLAIN_CPU=ON -DVELMO_AUDIO_ONLY=ON" \
    "$root/scripts/build.sh"
cd "$build-plain"
ctest --output-on-failure --timeout 600 -R '^audio$'

