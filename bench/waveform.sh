#!/usr/bin/env bash
# The waveform summary of a one-hour 128 kbit/s MP3 against
# `ffmpeg -i F -f null -` (CPU seconds, median of 5), then reopening the same
# file's waveform from the cache (median of 5, in the same process).
# Usage: bench/waveform.sh [BUILD_DIR]   Targets: <= 1.1 times ffmpeg; reopening < 50 ms.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
. "$here/load-common.sh"
file=$(bench_hour_file)
read -r ours peer <<<"$(bench_pair "$build/bench/bench_waveform $file" "ffmpeg -nostdin -i $file -f null -" | paste -sd' ')"
printf 'waveform of one hour MP3: %.3f CPU s   ffmpeg -f null: %.3f CPU s   ratio %.2f (target <= 1.1)\n' \
    "$ours" "$peer" "$(awk -v a="$ours" -v b="$peer" 'BEGIN { print a / b }')"
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT
printf 'reopening from the cache: %s ms (target < 50)\n' "$("$build/bench/bench_waveform" "$file" "$cache")"
