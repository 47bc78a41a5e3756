// Plays a file through the audio library in five timed phases for the
// real-sound test: plain, equalizer band at 1 kHz +12 dB, volume 0.1,
// paused, resumed. Each phase lasts kPhaseSeconds of wall-clock time, as
// the null sink records; the recording is cut into the same phases by
// analyze.py, counted from the first sound. With "plain" after the file
// name only the first phase is played. With "speed TEMPO" the file plays
// to its end at that tempo change (percent); with "loop START END TEMPO
// SECONDS" the range [START, END) seconds loops for SECONDS of wall-clock
// time at that tempo change.

#include "audio/bass.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace {

constexpr double kPhaseSeconds = 1.5;

void hold() { std::this_thread::sleep_for(std::chrono::duration<double>(kPhaseSeconds)); }

int playAtSpeed(HSTREAM stream, float tempo) {
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_TEMPO, tempo);
    BASS_ChannelPlay(stream, FALSE);
    for (int i = 0; i < 3000 && BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED ? 0 : 1;
}

int playLoop(HSTREAM stream, double start, double end, float tempo, double seconds) {
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_TEMPO, tempo);
    BASS_ChannelSetPosition(stream, BASS_ChannelSeconds2Bytes(stream, start), BASS_POS_BYTE);
    if (!BASS_ChannelSetLoop(stream, BASS_ChannelSeconds2Bytes(stream, start), BASS_ChannelSeconds2Bytes(stream, end)))
        return 1;
    BASS_ChannelPlay(stream, FALSE);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc >= 3 ? argv[2] : "";
    if ((mode == "speed" && argc == 4) || (mode == "loop" && argc == 7)) {
        if (!BASS_Init(-1, 44100, 0, nullptr, nullptr))
            return 1;
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
        if (!stream)
            return 1;
        const int result = mode == "speed"
                               ? playAtSpeed(stream, float(std::atof(argv[3])))
                               : playLoop(stream, std::atof(argv[3]), std::atof(argv[4]), float(std::atof(argv[5])),
                                          std::atof(argv[6]));
        BASS_StreamFree(stream);
        BASS_Free();
        return result;
    }
    const bool plainOnly = argc == 3 && std::string_view(argv[2]) == "plain";
    if (argc != 2 && !plainOnly) {
        std::fprintf(stderr, "usage: %s FILE [plain]\n", argv[0]);
        return 2;
    }
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "no output device (error %d)\n", BASS_ErrorGetCode());
        return 1;
    }
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    if (!stream) {
        std::fprintf(stderr, "cannot open %s (error %d)\n", argv[1], BASS_ErrorGetCode());
        return 1;
    }
    const HFX band = BASS_ChannelSetFX(stream, BASS_FX_BFX_PEAKEQ, 0);
    BASS_BFX_PEAKEQ eq{0, 1.5f, 0.0f, 1000.0f, 0.0f, BASS_BFX_CHANALL};
    BASS_FXSetParameters(band, &eq);

    BASS_ChannelPlay(stream, FALSE);
    // The sound server may take a moment to start pulling; the phases count
    // from the first sound, so wait for it.
    for (int i = 0; i < 500 && BASS_ChannelGetPosition(stream, BASS_POS_BYTE) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    hold();  // plain
    if (plainOnly) {
        const bool playing = BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING;
        BASS_StreamFree(stream);
        BASS_Free();
        return playing ? 0 : 1;
    }
    eq.fGain = 12.0f;
    BASS_FXSetParameters(band, &eq);
    hold();  // +12 dB band
    eq.fGain = 0.0f;
    BASS_FXSetParameters(band, &eq);
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.1f);
    hold();  // volume 0.1
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 1.0f);
    BASS_ChannelPause(stream);
    hold();  // paused
    BASS_ChannelPlay(stream, FALSE);
    hold();  // resumed
    const bool playing = BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING;
    BASS_StreamFree(stream);
    BASS_Free();
    return playing ? 0 : 1;
}
