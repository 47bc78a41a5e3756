#pragma once
// What the library's public functions share (Bass.cpp, BassChannel.cpp): the
// handle table, the device and its mixer's state, and each thread's last
// error. No other file includes it.

#include "audio/AudioOutput.h"
#include "audio/NullOutput.h"
#include "audio/Stream.h"
#include "audio/bass.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace velmo::audio::library {

struct Library {
    bool deviceOutput = true;
    NullOutput::Pace nullPace = NullOutput::Pace::RealTime;
    double nullLatency = -1;
    DWORD unicodeConfig = 0;

    std::atomic<bool> initialized{false};
    std::atomic<int> deviceRate{0};  // read by files opening on other threads
    std::unique_ptr<AudioOutput> output;
    NullOutput* nullOutput = nullptr;  // the output, when it is the null one
    double latency = 0;
    // Streams the mixer visits; changed only with the output locked.
    std::vector<Stream*> mixed;

    // Held while a sync proc runs, and by whatever frees streams, so that no
    // proc of a stream runs after its free returned. Recursive: a proc on
    // the sync thread may itself free a stream.
    std::recursive_mutex syncCalls;
    std::mutex table;  // the maps below
    std::map<DWORD, std::shared_ptr<Stream>> streams;
    std::map<HFX, DWORD> effectOwner;
    DWORD nextStream = 1;
    HFX nextEffect = 1;
    HSYNC nextSync = 1;

    std::thread syncThread;
    std::mutex syncMutex;
    std::condition_variable syncWake;
    bool syncQuit = false;
    bool syncPoke = false;

    // The output sleeps once nothing has played for a while (so the last
    // sound handed over has been heard) and wakes when a stream plays.
    std::mutex sleepMutex;  // outputAsleep and the output's sleep and wake
    bool outputAsleep = false;
    std::atomic<int64_t> idleFrames{0};  // output thread: silent frames in a row
    int64_t sleepAfterFrames = 0;
    std::atomic<bool> sleepAsked{false};
};

extern Library g;
extern thread_local int t_error;  // what BASS_ErrorGetCode reports

// Every public function ends with one of these, so the error code always
// tells about the latest call on this thread.
template <typename T>
T fail(int code, T result) {
    t_error = code;
    return result;
}
inline BOOL fail(int code) { return fail<BOOL>(code, FALSE); }
template <typename T>
T ok(T result) {
    t_error = BASS_OK;
    return result;
}

// The stream of a handle, or of the effect fx; null when there is none.
std::shared_ptr<Stream> findStream(DWORD handle);
std::shared_ptr<Stream> findEffectStream(HFX fx);

inline QWORD bytesPerFrame(const Stream& s) { return QWORD(s.channels()) * sizeof(float); }

// After a stream was set playing: wakes the output if it sleeps.
void wakeOutput();

}  // namespace velmo::audio::library
