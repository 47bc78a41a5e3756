#!/usr/bin/env bash
# Load of long files with an exact length (BASS_STREAM_PRESCAN), against
# ffmpeg's demux-only pass over the same file (`ffmpeg -i F -c copy -f null -`),
# both measured in the same run, median of 5 alternating runs.
#   ours:   the open itself, in the process, FFmpeg's libraries loaded
#           (processor time, and wall time, which a busy machine inflates)
#   ffmpeg: the whole ffmpeg process (processor time)
#   ratio:  ours / ffmpeg, processor times
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

# Five runs of bench_load alternating with five of ffmpeg's pass; prints the
# length and the medians of our open (processor and wall time) and of
# ffmpeg's whole process (processor time).
measure() {
    local file=$1 cpu=() wall=() peer=() length out
    for _ in 1 2 3 4 5; do
        read -r length out <<<"$("$build/bench/bench_load" "$file")"
        cpu+=("${out% *}")
        wall+=("${out#* }")
        peer+=("$(bench_time ffmpeg -nostdin -i "$file" -c copy -f null -)")
    done
    echo "$length"
    printf '%s\n' "${cpu[@]}" | sort -g | sed -n 3p
    printf '%s\n' "${wall[@]}" | sort -g | sed -n 3p
    printf '%s\n' "${peer[@]}" | sort -g | sed -n 3p
}

printf '%-20s %14s %10s %10s %12s %7s  %s\n' file length "ours cpu" "ours wall" "ffmpeg cpu" ratio target
for kind in "${kinds[@]}"; do
    file=$(bench_file "$kind")
    read -r length cpu wall peer <<<"$(measure "$file" | paste -sd' ')"
    case $kind in
        *mp3*) target="ratio <= 0.10" ;;
        *) target="ours < 20 ms" ;;
    esac
    awk -v k="$kind" -v l="$length" -v c="$cpu" -v w="$wall" -v b="$peer" -v t="$target" \
        'BEGIN { printf "%-20s %12.3f s %7.1f ms %7.1f ms %9.1f ms %7.3f  %s\n", k, l, c * 1000, w * 1000, b * 1000, c / b, t }'
done
