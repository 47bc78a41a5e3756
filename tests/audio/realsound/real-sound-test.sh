#!/usr/bin/env bash
# Real sound: starts a private PulseAudio daemon with a null sink, plays a
# 1 kHz tone through the audio library (SDL's pulseaudio driver), records
# the sink's monitor with parec and checks frequency, equalizer, volume and
# pause; then a 48 kHz file and a 5.1 file with the tone in its centre
# channel only, for pitch and level; a 4 s tone at half and at one and a
# half times the speed, for pitch and duration; a looped section of a sweep
# at 100 % and 75 %, for gaps and the length of each pass. The daemon is
# stopped by its pid afterwards, also on failure.
# Usage: real-sound-test.sh PLAYER_BINARY
set -euo pipefail
player=$1
here=$(cd "$(dirname "$0")" && pwd)
# Without a tool the test cannot run here: 77 tells CTest it was skipped
# (scripts/test.sh installs them all).
for tool in pulseaudio parec pactl ffmpeg python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velmo-real-sound.XXXXXX")
daemon=""
recorder=""
cleanup() {
    [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
    if [ -n "$daemon" ]; then
        kill "$daemon" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$daemon" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$daemon" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# A private daemon: its own runtime, state and home folders and socket, so
# it meets no other sound server and leaves nothing behind.
mkdir -p "$work/home" "$work/runtime" "$work/state"
chmod 700 "$work/runtime"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/.config
export PULSE_RUNTIME_PATH=$work/runtime/pulse PULSE_STATE_PATH=$work/state
export PULSE_SERVER=unix:$work/runtime/pulse/native
unset PULSE_SINK PULSE_SOURCE DBUS_SESSION_BUS_ADDRESS || true

pulseaudio -D -n --exit-idle-time=-1 --load="module-null-sink sink_name=vsink" \
    --load=module-native-protocol-unix --log-target="file:$work/pulse.log"
for _ in $(seq 100); do
    [ -s "$PULSE_RUNTIME_PATH/pid" ] && pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
daemon=$(cat "$PULSE_RUNTIME_PATH/pid" 2>/dev/null || true)
if [ -z "$daemon" ] || ! pactl info >/dev/null 2>&1; then
    echo "FAIL: PulseAudio did not start"; cat "$work/pulse.log" 2>/dev/null || true; exit 1
fi
pactl set-default-sink vsink

tone="aevalsrc=0.1*sin(2*PI*1000*t):d=10"
ffmpeg -hide_banner -loglevel error -f lavfi -i "$tone:s=44100" -ac 2 -c:a pcm_s16le "$work/tone-1k.wav"
ffmpeg -hide_banner -loglevel error -f lavfi -i "$tone:s=48000" -af "pan=stereo|c0=c0|c1=c0" -c:a pcm_s16le "$work/tone-1k-48000.wav"
ffmpeg -hide_banner -loglevel error -f lavfi -i "$tone:s=44100" -af "pan=5.1|FC=c0" -c:a flac "$work/tone-1k-centre-5.1.flac"
ffmpeg -hide_banner -loglevel error -f lavfi -i "aevalsrc=0.1*sin(2*PI*1000*t):d=4:s=44100" -c:a pcm_s16le "$work/tone-1k-4s.wav"
# A sweep never repeats by itself: a looped section of it repeats only
# where the loop wraps. Exponential (400 Hz at 2 s, 12 % higher every
# 50 ms), so that no other lag near the pass length matches as well.
ffmpeg -hide_banner -loglevel error -f lavfi -i "aevalsrc=0.1*sin(2*PI*160*(exp(2.5*(t-2))-1)):d=3:s=44100" -c:a pcm_s16le "$work/sweep.wav"

# Plays FILE [plain] and records what the sink got into $work/recorded.raw.
play_recorded() {
    parec -d vsink.monitor --format=s16le --rate=44100 --channels=1 --raw > "$work/recorded.raw" &
    recorder=$!
    sleep 0.5
    SDL_AUDIODRIVER=pulseaudio "$player" "$@"
    sleep 0.3
    kill "$recorder" 2>/dev/null || true
    wait "$recorder" 2>/dev/null || true
    recorder=""
}

failed=0
echo "1 kHz, 44.1 kHz stereo:"
play_recorded "$work/tone-1k.wav"
python3 "$here/analyze.py" "$work/recorded.raw" || failed=1
# A sine of peak 0.1 is -23 dBFS RMS; the centre channel reaches each
# speaker at -3 dB.
echo "1 kHz, 48 kHz stereo:"
play_recorded "$work/tone-1k-48000.wav" plain
python3 "$here/analyze.py" "$work/recorded.raw" -23.0 || failed=1
echo "1 kHz in the centre channel of 5.1:"
play_recorded "$work/tone-1k-centre-5.1.flac" plain
python3 "$here/analyze.py" "$work/recorded.raw" -26.0 || failed=1
for tempo in -50 50; do
    seconds=$(python3 -c "print(4 / (1 + $tempo / 100))")
    echo "4 s of 1 kHz at tempo $tempo %:"
    play_recorded "$work/tone-1k-4s.wav" speed "$tempo"
    python3 "$here/analyze.py" "$work/recorded.raw" speed "$seconds" || failed=1
done
for tempo in 0 -25; do
    period=$(python3 -c "print(0.8 / (1 + $tempo / 100))")
    echo "loop 2.0 s to 2.8 s at tempo $tempo %:"
    play_recorded "$work/sweep.wav" loop 2.0 2.8 "$tempo" 9
    python3 "$here/analyze.py" "$work/recorded.raw" loop "$period" || failed=1
done
exit $failed
