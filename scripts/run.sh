#!/usr/bin/env bash
# Sets up, builds and starts the player. Usage: scripts/run.sh [audio file]
# Without a file it opens the short demo recording with its markers; the
# program itself opens nothing when started without an argument.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --target velmoplayer
if [ $# -eq 0 ]; then
  # A copy, so markers the user saves do not change the repository's files.
  demo="${XDG_CACHE_HOME:-$HOME/.cache}/VelmoPlayer/demo"
  mkdir -p "$demo"
  [ -f "$demo/VelmoDemo.ogg" ] || cp "$root/resources/demo/VelmoDemo.ogg" "$root/resources/demo/VelmoDemo.ogg.mrk" "$demo/"
  set -- "$demo/VelmoDemo.ogg"
fi
exec "${VELMO_BUILD_DIR:-$root/build}/velmoplayer" "$@"
