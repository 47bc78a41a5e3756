// Decode benchmark: one whole process that decodes FILE to the end through
// the stream's effect chain with the player's nine equalizer bands on.
// bench/decode.sh times it against `ffmpeg -i FILE -f null -`.

#include "audio/bass.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT);
    if (!stream) {
        std::fprintf(stderr, "cannot open %s (error %d)\n", argv[1], BASS_ErrorGetCode());
        return 1;
    }
    const float centres[] = {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    for (int band = 0; band < 9; ++band) {
        const HFX fx = BASS_ChannelSetFX(stream, BASS_FX_BFX_PEAKEQ, 0);
        // Every band away from 0 dB, so no filter is skipped.
        const BASS_BFX_PEAKEQ eq{0, 1.5f, 0.0f, centres[band], band % 2 ? 4.0f : -4.0f, BASS_BFX_CHANALL};
        BASS_FXSetParameters(fx, &eq);
    }
    std::vector<float> buffer(1 << 16);
    unsigned long long bytes = 0;
    for (;;) {
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), DWORD(buffer.size() * sizeof(float)));
        if (got == DWORD(-1))
            break;
        bytes += got;
    }
    std::printf("%.3f s decoded\n", BASS_ChannelBytes2Seconds(stream, bytes));
    BASS_StreamFree(stream);
    return 0;
}
