// LeakSanitizer run of the audio library (valgrind cannot run FFmpeg's
// dependencies here): 50 files played back to back to their end on the
// untimed null output, each stream freed, then the library shut down.
//   leak_playback <audio file> [count]     exit status 0 = no leak, no error
#include "audio/AudioTestApi.h"
#include "audio/bass.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
std::atomic<int> g_ends{0};
void onEnd(HSYNC, DWORD, DWORD, void*) { g_ends.fetch_add(1); }
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const int count = argc > 2 ? std::atoi(argv[2]) : 50;
    velmo::audio::test::useNullOutput(true);
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr))
        return 3;
    int finished = 0;
    for (int i = 0; i < count; ++i) {
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, 0);
        if (!stream)
            return 4;
        const int before = g_ends.load();
        BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, onEnd, nullptr);
        BASS_ChannelPlay(stream, TRUE);
        for (int wait = 0; wait < 5000 && g_ends.load() == before; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        finished += g_ends.load() > before ? 1 : 0;
        BASS_StreamFree(stream);
    }
    BASS_Free();
    std::printf("%d of %d files played to their end\n", finished, count);
    return finished == count ? 0 : 5;
}
