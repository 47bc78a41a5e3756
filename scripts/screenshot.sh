#!/usr/bin/env bash
# Renews doc/screenshot.png, the picture the README opens with and the
# AppStream file names: the main window playing the demo recording with its
# markers, on a private X server (Xvfb) with private user folders, so the
# user's settings and a running player play no part.
# Usage: scripts/screenshot.sh [out.png] [seconds-of-play]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/doc/screenshot.png}
play_seconds=${2:-4.5}
build=${VELMO_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --target velmoplayer

work=$(mktemp -d)
xvfb_pid= player_pid=
cleanup() {
  [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null && wait "$player_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME/Documents" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# Sound goes nowhere; the dummy device still plays at the pace of the clock.
export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS

# A free display number: the first without an X lock file.
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & xvfb_pid=$!
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

cp "$root/resources/demo/VelmoDemo.ogg" "$root/resources/demo/VelmoDemo.ogg.mrk" "$work/"
"$build/velmoplayer" "$work/VelmoDemo.ogg" >/dev/null 2>&1 & player_pid=$!

window=
for _ in $(seq 100); do
  window=$(xwininfo -root -tree | awk '/"QRT Velmo Player"/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the main window did not appear" >&2; exit 1; }
# Into the recording, so the play head stands among the markers.
sleep "$play_seconds"
mkdir -p "$(dirname "$out")"
import -window "$window" "png:$out"
echo "$out"
