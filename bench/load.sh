#!/usr/bin/env bash
# Load of a one-hour 128 kbit/s MP3 with prescan, against ffmpeg's
# demux-only pass over the same file; whole processes, median of 5.
# Usage: bench/load.sh [BUILD_DIR]   Target: ratio at most 1.0.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
. "$here/load-common.sh"
file=$(bench_hour_file)
read -r ours peer <<<"$(bench_pair "$build/bench/bench_load $file" "ffmpeg -nostdin -i $file -c copy -f null -" | paste -sd' ')"
printf 'load (prescan) of one hour MP3: %.3f CPU s   ffmpeg -c copy: %.3f CPU s   ratio %.2f (target <= 1.0)\n' \
    "$ours" "$peer" "$(awk -v a="$ours" -v b="$peer" 'BEGIN { print a / b }')"
