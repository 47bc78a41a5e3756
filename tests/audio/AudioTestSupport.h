#pragma once
// Helpers shared by the audio library tests: fixture paths, whole-stream
// decoding, a library session on the null output, bounded waits.

#include "TestEnv.h"
#include "audio/AudioTestApi.h"
#include "audio/bass.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace audiotest {

inline std::string fixture(const char* name) { return TestEnv::fixture(QString::fromUtf8(name)).toStdString(); }

// Opens a stream by UTF-8 path.
inline HSTREAM open(const std::string& path, DWORD flags) {
    return BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, flags);
}

inline int channelsOf(DWORD handle) {
    BASS_CHANNELINFO info{};
    BASS_ChannelGetInfo(handle, &info);
    return int(info.chans);
}

// Every remaining sample of a decode-only stream.
inline std::vector<float> decodeRest(DWORD handle, size_t maxFrames = SIZE_MAX) {
    const int chans = channelsOf(handle);
    std::vector<float> all, buffer(4096 * size_t(chans));
    while (all.size() / chans < maxFrames) {
        const DWORD got = BASS_ChannelGetData(handle, buffer.data(), DWORD(buffer.size() * sizeof(float)));
        if (got == DWORD(-1))
            break;
        all.insert(all.end(), buffer.begin(), buffer.begin() + got / sizeof(float));
    }
    if (all.size() / chans > maxFrames)
        all.resize(maxFrames * chans);
    return all;
}

inline QWORD framesToBytes(DWORD handle, QWORD frames) { return frames * channelsOf(handle) * sizeof(float); }
inline QWORD bytesToFrames(DWORD handle, QWORD bytes) { return bytes / (channelsOf(handle) * sizeof(float)); }

// The frame being heard, as the stream reports it.
inline int64_t positionFrames(HSTREAM h) { return int64_t(bytesToFrames(h, BASS_ChannelGetPosition(h, BASS_POS_BYTE))); }

// ramp-1.2s.wav holds its own time: frame n sounds as n / 44100 / 4.
constexpr double kRampStep = 1.0 / 44100 / 4;

// The frame the ramp's sound names at `i` of a tap.
inline int64_t frameHeardIn(const std::vector<float>& tap, size_t i) { return std::llround(tap[2 * i] / kRampStep); }

// Waits until `done` holds, at most `limit`. Returns whether it held.
inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The library started on the null output for the lifetime of the object.
class NullOutputSession {
public:
    explicit NullOutputSession(bool untimed) {
        velmo::audio::test::useNullOutput(untimed);
        started = BASS_Init(-1, 44100, 0, nullptr, nullptr) != FALSE;
    }
    ~NullOutputSession() {
        BASS_Free();
        velmo::audio::test::useDeviceOutput();
    }
    bool started = false;
};

// The library started on the stepped null output: a device of `rate` Hz
// with `latency` seconds of buffering that pulls only when the test steps it.
class SteppedOutputSession {
public:
    explicit SteppedOutputSession(int rate, double latency = 0.0) {
        velmo::audio::test::setNullOutputLatency(latency);
        velmo::audio::test::useSteppedNullOutput();
        started = BASS_Init(-1, DWORD(rate), 0, nullptr, nullptr) != FALSE;
    }
    ~SteppedOutputSession() {
        BASS_Free();
        velmo::audio::test::useDeviceOutput();
        velmo::audio::test::setNullOutputLatency(-1);
    }
    // Pulls `buffers` device buffers and returns the stereo frames handed
    // over meanwhile while a stream played.
    std::vector<float> step(int buffers) {
        velmo::audio::test::stepNullOutput(buffers);
        return velmo::audio::test::takeNullOutputTap();
    }
    static constexpr int kBufferFrames = 512;
    bool started = false;
};

}  // namespace audiotest
