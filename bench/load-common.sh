# Shared by bench/load.sh and bench/decode.sh: the one-hour test file
# (made on demand, kept in a cache folder, never committed) and whole-process
# timing (median of 5 runs).

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

# Wall time in seconds of one run of the command.
bench_time() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
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
