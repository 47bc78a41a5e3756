// Load benchmark: one whole process that opens FILE the way the player
// does (exact length by a packet pass, BASS_STREAM_PRESCAN) and exits.
// bench/load.sh times it against ffmpeg's demux-only pass.

#include "audio/bass.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const HSTREAM stream =
        BASS_StreamCreateFile(FALSE, argv[1], 0, 0, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    if (!stream) {
        std::fprintf(stderr, "cannot open %s (error %d)\n", argv[1], BASS_ErrorGetCode());
        return 1;
    }
    std::printf("%.3f s\n", BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetLength(stream, BASS_POS_BYTE)));
    BASS_StreamFree(stream);
    return 0;
}
