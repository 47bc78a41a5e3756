#!/usr/bin/env bash
# Configures and builds VelmoPlayer into build/ (or $VELMO_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMO_BUILD_DIR:-$root/build}
generator=()
command -v ninja >/dev/null && [ ! -f "$build/Makefile" ] && generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" "$@"
