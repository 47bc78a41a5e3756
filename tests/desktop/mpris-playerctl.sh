#!/usr/bin/env bash
# Media keys end to end: the real player on a private session bus, driven and
# read by the real MPRIS client playerctl:
#   mpris-playerctl.sh <velmoplayer binary>
# The script runs itself under dbus-run-session for a bus of its own. Without
# dbus-run-session or playerctl it exits 77, CTest's "skipped".
# Also checks that the loaded file went into the desktop's recently-used list.
set -euo pipefail
player_binary=$1

for tool in dbus-run-session playerctl; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [ -z "${VELMO_PRIVATE_BUS:-}" ]; then
  VELMO_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

root=$(mktemp -d)
player_pid=""
follow_pid=""
cleanup() {
  [ -n "$follow_pid" ] && kill "$follow_pid" 2>/dev/null || true
  if [ -n "$player_pid" ] && kill -0 "$player_pid" 2>/dev/null; then
    # SDL turns SIGTERM into a quit event the player may never read.
    kill "$player_pid" 2>/dev/null || true
    for _ in $(seq 20); do kill -0 "$player_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$player_pid" 2>/dev/null || true
    wait "$player_pid" 2>/dev/null || true
  fi
  rm -rf "$root"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; [ -f "$root/player.log" ] && sed 's/^/player: /' "$root/player.log" >&2; exit 1; }

# A private user: no real settings, lock, playlist or recent files are touched.
mkdir -p "$root"/{home,config,data,runtime,music}
chmod 700 "$root/runtime"
export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
export XDG_DOCUMENTS_DIR=$root/home
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

# Thirty seconds of a quiet tone, long enough to seek to 10 s.
track="$root/music/tone 30s.wav"
python3 - "$track" <<'EOF'
import math, struct, sys, wave
rate = 8000
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(rate)
    w.writeframes(b"".join(struct.pack("<h", int(3000 * math.sin(2 * math.pi * 440 * i / rate)))
                           for i in range(30 * rate)))
EOF
track_url=$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$track")

pc() { playerctl --player=velmoplayer "$@"; }

# Polls a command until its output equals the expected text (5 s at most).
expect_output() {
  local expected=$1; shift
  local got=""
  for _ in $(seq 50); do
    got=$("$@" 2>/dev/null || true)
    [ "$got" = "$expected" ] && return 0
    sleep 0.1
  done
  fail "'$*' gave '$got', expected '$expected'"
}

# Whether two numbers differ by at most a tolerance.
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'; }

"$player_binary" "$track" >"$root/player.log" 2>&1 &
player_pid=$!

# The player announces itself on the bus once its window is up.
for _ in $(seq 100); do
  playerctl --list-all 2>/dev/null | grep -qx 'velmoplayer' && break
  kill -0 "$player_pid" 2>/dev/null || fail "the player exited at start"
  sleep 0.1
done
playerctl --list-all 2>/dev/null | grep -qx 'velmoplayer' || fail "velmoplayer never appeared on the bus"

# The command-line file plays from the first show.
expect_output Playing pc status

# Status changes reach followers through PropertiesChanged.
pc --follow status >"$root/follow.log" 2>&1 &
follow_pid=$!
sleep 0.5
pc play-pause
expect_output Paused pc status
expect_output Paused tail -n 1 "$root/follow.log"
pc play-pause
expect_output Playing pc status
expect_output Playing tail -n 1 "$root/follow.log"
pc pause
expect_output Paused pc status

pc position 10
position=$(pc position)
near "$position" 10 0.05 || fail "position after 'position 10' is $position"

expect_output "$track_url" pc metadata xesam:url
expect_output "tone 30s.wav" pc metadata xesam:title
length=$(pc metadata mpris:length)
near "$length" 30000000 50000 || fail "mpris:length is $length"
pc metadata mpris:trackid | grep -Eq "^'?/org/velmoplayer/track/" || fail "track id is '$(pc metadata mpris:trackid)'"

pc volume 0.5
expect_output 0.500000 pc volume
pc volume 0.25
expect_output 0.250000 pc volume

# A change the player makes by itself, the end of the track, reaches
# followers as well.
pc position 29.5
pc play
expect_output Stopped pc status
expect_output Stopped tail -n 1 "$root/follow.log"

# The load was recorded for the desktop's recent files.
encoded_href=$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$track")
grep -qF "href=\"$encoded_href\"" "$XDG_DATA_HOME/recently-used.xbel" \
  || fail "recently-used.xbel does not list the loaded file"

# Quit goes through the window's close path and ends the process.
dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.velmoplayer \
  /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit
for _ in $(seq 100); do
  kill -0 "$player_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$player_pid" 2>/dev/null && fail "the player still runs after Quit"
wait "$player_pid" || fail "the player exited with status $?"
player_pid=""
echo "MPRIS through playerctl OK"
