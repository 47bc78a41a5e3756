#!/usr/bin/env bash
# Leak check of playback: 50 files back to back, then 10 of every other
# format, through the audio library built with AddressSanitizer and
# LeakSanitizer (valgrind stops on an instruction in FFmpeg's libhwy here).
#   tests/reliability/leakcheck.sh        exit status 0 = no leak, no error
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${VELMO_FUZZ_BUILD_DIR:-$root/build-fuzz}
"$root/scripts/setup.sh" --fuzz
CC=clang CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target leak_playback
export ASAN_OPTIONS=detect_leaks=1 SDL_AUDIODRIVER=dummy
fixtures=$root/tests/fixtures
"$build/leak_playback" "$fixtures/short-0.3s.wav" 50
for file in tone-stereo-44100.mp3 tone-mono-48000.ogg tone-stereo-44100.m4a tone-mono-22050.flac \
            tone-mono-48000.mp4 tone-stereo-44100.wma; do
  "$build/leak_playback" "$fixtures/$file" 10
done
