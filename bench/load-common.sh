# Shared by bench/load.sh and bench/decode.sh: the one-hour test file
# (made on demand, kept in a cache folder, never committed) and whole-process
# timing in CPU seconds (median of 5 runs).

bench_hour_file() {
    local cache=${VELMO_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmoplayer-bench}
    local file=$cache/hour-128k.mp3
    if [ ! -s "$file" ]; then
        mkdir -p "$cache"
        echo "making $file (one hour, 128 kbit/s) ..." >&2
        ffmpeg -hide_banner -loglevel error -y -f lavfi \
            -i "anoisesrc=d=3600:c=pink:r=44100:a=0.2" -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=3600" \
            -filter_complex "[0][1]amix=inputs=2,aformat=channel_layouts=stereo" \
            -c:a libmp3lame -b:a 128k -f mp3 "$file.part" && mv "$file.part" "$file"
    fi
    echo "$file"
}

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
