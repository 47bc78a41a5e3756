#pragma once
// The library's sound output: one device that pulls stereo float frames from
// the mixer. Two implementations: SDL2 (what users hear) and a null output
// for tests (NullOutput.h).

#include <memory>

namespace velmo::audio {

// Fills `frames` interleaved stereo float frames at the output's rate.
// Called on the output's own thread; must not block for long, allocate or do
// I/O. Returns true while any stream is playing (the untimed null output
// idles otherwise).
using MixCallback = bool (*)(float* stereo, int frames, void* user);

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // GUI thread. Opens the device asking for `wantedRate`; the device may
    // pick another rate (rate() tells). Starts pulling at once, calling
    // `mix` for every buffer. Returns false when no device can be opened.
    virtual bool open(int wantedRate, MixCallback mix, void* user) = 0;
    // GUI thread. Stops pulling; after it returns `mix` is never called again.
    virtual void close() = 0;
    // Any thread but the output's. While nothing plays the output can stop
    // pulling and later start again at the rate it had, at once. `mix` is
    // not called while asleep.
    virtual void sleep() {}
    virtual bool wake() { return true; }
    // GUI thread. Keeps the output thread out of `mix` while held, so the
    // mixer's streams can change safely. Held briefly only.
    virtual void lock() = 0;
    virtual void unlock() = 0;
    // Device rate in Hz; valid after open.
    virtual int rate() const = 0;
    // Seconds from the return of `mix` until the last frame it wrote is
    // heard (the buffers queued in the device); 0 for an untimed null output.
    virtual double latencySeconds() const = 0;
};

std::unique_ptr<AudioOutput> makeSdlOutput();

}  // namespace velmo::audio
