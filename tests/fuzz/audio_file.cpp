// Audio files: a mutated file opens (or is refused), prescans, decodes, seeks
// and decodes again without a crash, a hang or reading out of bounds.
#include "audio/bass.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/velmo-fuzz-" + std::to_string(getpid()) + ".bin";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0,
                                                 BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    if (!stream)
        return 0;
    BASS_CHANNELINFO info{};
    BASS_ChannelGetInfo(stream, &info);
    const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    BASS_ChannelBytes2Seconds(stream, length);
    std::vector<float> buffer(4096);
    // Bounded work per input: at most 64 buffers before and after a seek.
    for (int i = 0; i < 64; ++i)
        if (BASS_ChannelGetData(stream, buffer.data(), DWORD(buffer.size() * sizeof(float))) == DWORD(-1))
            break;
    if (length != QWORD(-1) && length > 0) {
        BASS_ChannelSetPosition(stream, (length / 2) & ~QWORD(7), BASS_POS_BYTE);
        for (int i = 0; i < 64; ++i)
            if (BASS_ChannelGetData(stream, buffer.data(), DWORD(buffer.size() * sizeof(float))) == DWORD(-1))
                break;
    }
    BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    BASS_StreamFree(stream);
    return 0;
}
