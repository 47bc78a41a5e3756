#pragma once
// Audio library set-up shared by the playback fault and long-run tests: the
// null output, generated WAV files of any length, end-of-stream counting and
// the process's own thread, descriptor and memory counts.
#include "audio/bass.h"

#include <QString>
#include <atomic>

// Initialises the library on the null output for the lifetime of the object.
class NullAudio {
public:
    explicit NullAudio(bool untimed);
    ~NullAudio();
    NullAudio(const NullAudio&) = delete;
    NullAudio& operator=(const NullAudio&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// Writes a 16-bit stereo 44100 Hz WAV of a quiet tone.
void WriteToneWav(const QString& path, double seconds);

// Counts BASS_SYNC_END callbacks of one stream (they run on a library thread).
struct EndCounter {
    std::atomic<int> ends{0};
    HSYNC attach(HSTREAM stream);
};

// Waits (processing nothing else) until the stream's end sync has fired or
// timeoutMs has passed; true when it fired.
bool WaitForEnd(const EndCounter& counter, int timeoutMs);

int ThreadCount();      // entries of /proc/self/task
int OpenFdCount();      // entries of /proc/self/fd
double ResidentMb();    // resident set from /proc/self/statm

// Waits up to timeoutMs for the thread count to drop to at most `limit`.
int SettledThreadCount(int limit, int timeoutMs);
