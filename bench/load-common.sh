# Shared by the load and decode benchmarks: the long test files (made on
# demand, kept in a cache folder, never committed) and whole-process timing
# in CPU seconds (median of 5 runs).

bench_cache() {
    local cache=${VELMO_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmoplayer-bench}
    mkdir -p "$cache"
    echo "$cache"
}

bench_ff() { nice ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# One hour of pink noise under a 440 Hz tone, stereo 44.1 kHz: music-like
# enough that VBR encoders vary their frame sizes.
bench_hour_source() { echo "-f lavfi -i anoisesrc=d=3600:c=pink:r=44100:a=0.2 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=3600 -filter_complex [0][1]amix=inputs=2,aformat=channel_layouts=stereo"; }

# The test file of KIND (hour-mp3, hour-mp3-noxing, tenhour-mp3,
# tenhour-mp3-noxing, hour-flac, hour-vorbis, hour-opus, hour-m4a, hour-wav),
# made when missing.
bench_file() {
    local cache kind=$1 file
    cache=$(bench_cache)
    case $kind in
        hour-mp3) file=$cache/hour-128k.mp3 ;;
        hour-mp3-noxing) file=$cache/hour-128k-noxing.mp3 ;;
        tenhour-mp3) file=$cache/tenhour-128k.mp3 ;;
        tenhour-mp3-noxing) file=$cache/tenhour-128k-noxing.mp3 ;;
        hour-flac) file=$cache/hour.flac ;;
        hour-vorbis) file=$cache/hour-vorbis.ogg ;;
        hour-opus) file=$cache/hour-opus.ogg ;;
        hour-m4a) file=$cache/hour-aac.m4a ;;
        hour-wav) file=$cache/hour.wav ;;
        *) echo "unknown test file kind $kind" >&2; return 1 ;;
    esac
    if [ ! -s "$file" ]; then
        echo "making $file ..." >&2
        # shellcheck disable=SC2046
        case $kind in
            hour-mp3) bench_ff $(bench_hour_source) -c:a libmp3lame -b:a 128k -f mp3 "$file.part" ;;
            hour-mp3-noxing) bench_ff -i "$(bench_file hour-mp3)" -c copy -write_xing 0 -f mp3 "$file.part" ;;
            tenhour-mp3*)
                local hour list=$cache/tenhour.txt xing=1
                hour=$(bench_file hour-mp3)
                [ "$kind" = tenhour-mp3-noxing ] && xing=0
                for _ in 1 2 3 4 5 6 7 8 9 10; do echo "file '$hour'"; done >"$list"
                bench_ff -f concat -safe 0 -i "$list" -c copy -write_xing $xing -f mp3 "$file.part"
                rm -f "$list" ;;
            hour-flac) bench_ff $(bench_hour_source) -c:a flac -f flac "$file.part" ;;
            hour-vorbis) bench_ff $(bench_hour_source) -c:a libvorbis -q:a 3 -f ogg "$file.part" ;;
            hour-opus) bench_ff $(bench_hour_source) -c:a libopus -b:a 96k -f ogg "$file.part" ;;
            hour-m4a) bench_ff $(bench_hour_source) -c:a aac -b:a 128k -f mp4 "$file.part" ;;
            hour-wav) bench_ff $(bench_hour_source) -c:a pcm_s16le -f wav "$file.part" ;;
        esac
        mv "$file.part" "$file"
    fi
    echo "$file"
}

# The one-hour MP3 the decode benchmark uses.
bench_hour_file() { bench_file hour-mp3; }

# CPU seconds (user + system) of one run of the command. On a machine shared
# with other work, wall time mostly measures the neighbours; the processor
# time a process needs does not depend on them nearly as much.
bench_time() {
    local TIMEFORMAT='%3U %3S' times
    if ! times=$( { time "$@" >/dev/null 2>&1; } 2>&1 ); then
        echo "failed: $*" >&2
        return 1
    fi
    awk '{ printf "%.6f\n", $1 + $2 }' <<<"$times"
}

# Times OURS and PEER (two command strings) five times each, alternating so
# that a change in the machine's load hits both alike, and prints the two
# medians in seconds.
bench_pair() {
    local ours=() peer=()
    for _ in 1 2 3 4 5; do
        ours+=("$(bench_time $1)")
        peer+=("$(bench_time $2)")
    done
    printf '%s\n' "${ours[@]}" | sort -g | sed -n 3p
    printf '%s\n' "${peer[@]}" | sort -g | sed -n 3p
}
