#!/usr/bin/env bash
# Load of long files with an exact length (BASS_STREAM_PRESCAN), against
# ffmpeg's demux-only pass over the same file (`ffmpeg -i F -c copy -f null -`),
# both measured in the same run, median of 5 alternating runs.
#   ours:   the open itself, in the process, FFmpeg's libraries loaded (wall)
#   ffmpeg: the whole ffmpeg process (CPU seconds)
# Targets: MP3 at most 0.1 of ffmpeg's pass; FLAC, Ogg, M4A and WAV under
# 20 ms whatever their length.
# Usage: bench/load.sh [BUILD_DIR] [KIND...]   (kinds: see bench_file)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
shift || true
. "$here/load-common.sh"
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(hour-mp3 hour-mp3-noxing tenhour-mp3 tenhour-mp3-noxing hour-flac hour-vorbis hour-opus hour-m4a hour-wav)

# The median of the open times of 5 runs of bench_load, alternating with
# ffmpeg's pass, and the median of ffmpeg's CPU seconds; also the length.
measure() {
    local file=$1 ours=() peer=() length out
    for _ in 1 2 3 4 5; do
        out=$("$build/bench/bench_load" "$file")
        length=${out% *}
        ours+=("${out#* }")
        peer+=("$(bench_time ffmpeg -nostdin -i "$file" -c copy -f null -)")
    done
    echo "$length"
    printf '%s\n' "${ours[@]}" | sort -g | sed -n 3p
    printf '%s\n' "${peer[@]}" | sort -g | sed -n 3p
}

printf '%-20s %14s %12s %12s %8s  %s\n' file length "ours (ms)" "ffmpeg (ms)" ratio target
for kind in "${kinds[@]}"; do
    file=$(bench_file "$kind")
    read -r length ours peer <<<"$(measure "$file" | paste -sd' ')"
    case $kind in
        *mp3*) target="ratio <= 0.10" ;;
        *) target="ours < 20 ms" ;;
    esac
    awk -v k="$kind" -v l="$length" -v a="$ours" -v b="$peer" -v t="$target" \
        'BEGIN { printf "%-20s %12.3f s %12.1f %12.1f %8.3f  %s\n", k, l, a * 1000, b * 1000, a / b, t }'
done
