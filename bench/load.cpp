// Load benchmark: opens FILE the way the player does (exact length,
// BASS_STREAM_PRESCAN) and prints the length, then the processor time and
// the wall time the open took, FFmpeg's libraries already loaded (the player
// loads them while it starts). bench/load.sh runs it against ffmpeg's
// demux-only pass.

#include "audio/bass.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    // A file that does not exist loads the libraries and nothing else.
    BASS_StreamCreateFile(FALSE, "/nonexistent/velmo-bench", 0, 0, BASS_STREAM_DECODE);
    const double cpuStart = processSeconds();
    const auto start = std::chrono::steady_clock::now();
    const HSTREAM stream =
        BASS_StreamCreateFile(FALSE, argv[1], 0, 0, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double cpu = processSeconds() - cpuStart;
    if (!stream) {
        std::fprintf(stderr, "cannot open %s (error %d)\n", argv[1], BASS_ErrorGetCode());
        return 1;
    }
    std::printf("%.6f %.6f %.6f\n", BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetLength(stream, BASS_POS_BYTE)),
                cpu, took.count());
    BASS_StreamFree(stream);
    return 0;
}
