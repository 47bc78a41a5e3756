#!/usr/bin/env bash
# Decode of a one-hour 128 kbit/s MP3 through nine equalizer bands, against
# `ffmpeg -i F -f null -`; whole processes, median of 5. Speed is the
# inverse of time. Usage: bench/decode.sh [BUILD_DIR]   Target: >= 0.8.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
. "$here/load-common.sh"
file=$(bench_hour_file)
read -r ours peer <<<"$(bench_pair "$build/bench/bench_decode $file" "ffmpeg -nostdin -i $file -f null -" | paste -sd' ')"
printf 'decode of one hour MP3 with nine bands: %.3f CPU s   ffmpeg -f null: %.3f CPU s   speed %.2f of ffmpeg (target >= 0.8)\n' \
    "$ours" "$peer" "$(awk -v a="$ours" -v b="$peer" 'BEGIN { print b / a }')"
