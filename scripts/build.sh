#!/usr/bin/env bash
# Configures and builds VelmoPlayer into build/ (or $VELMO_BUILD_DIR), with
# any further CMake options from $VELMO_CMAKE_ARGS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMO_BUILD_DIR:-$root/build}
generator=()
command -v ninja >/dev/null && [ ! -f "$build/Makefile" ] && generator=(-G Ninja)
# ccache, when present, shares compiled objects between checkouts of the tree.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$root"
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# Extra cmake settings come from $VELMO_CMAKE_ARGS (the test command adds -DVELMO_WERROR=ON).
read -r -a extra <<< "${VELMO_CMAKE_ARGS:-}"
cmake -S "$root" -B "$build" "${generator[@]}" "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}"
cmake --build "$build" --parallel "$(nproc)" "$@"
