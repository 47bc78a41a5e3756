#!/usr/bin/env bash
# Sets up, builds and starts the player. Usage: scripts/run.sh [audio file]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --target velmoplayer
exec "${VELMO_BUILD_DIR:-$root/build}/velmoplayer" "$@"
