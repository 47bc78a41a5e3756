#!/usr/bin/env bash
# Sets up, builds and runs every test, the real-sound test included.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMO_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure --timeout 600 "$@"
