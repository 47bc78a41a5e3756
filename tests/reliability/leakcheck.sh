#!/usr/bin/env bash
# Leak checks under AddressSanitizer's LeakSanitizer (valgrind stops on an
# instruction in FFmpeg's libhwy here).
#   tests/reliability/leakcheck.sh            the audio library: 50 files back to
#                                             back, then 10 of every other format
#   tests/reliability/leakcheck.sh --player   also the whole player: a playlist of
#                                             50 files through the main window
#                                             (builds build-asan/, a long first build)
# Exit status 0 = no leak, no error.
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

[ "${1:-}" = "--player" ] || exit 0
asan_build=${VELMO_ASAN_BUILD_DIR:-$root/build-asan}
sanitize="-fsanitize=address -fno-omit-frame-pointer"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$asan_build" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMO_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_C_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address >/dev/null
cmake --build "$asan_build" --target test_reliability
QT_QPA_PLATFORM=offscreen VELMO_LONG_RUN_FILES=50 \
  "$asan_build/tests/test_reliability" --gtest_filter='PlayerLongRun.*'
