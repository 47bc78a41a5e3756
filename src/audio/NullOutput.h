#pragma once
// The null output: a simulated device for tests. It pulls 512-frame buffers
// at the rate it is opened with, either at real-time pace, back to back
// (untimed) or only when a test steps it; stepped, it keeps a tap of what
// it was handed so that tests can look at the sound.

#include "audio/AudioOutput.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace velmo::audio {

class NullOutput final : public AudioOutput {
public:
    enum class Pace { RealTime, Untimed, Stepped };
    static constexpr int kBufferFrames = 512;

    // latency < 0: one buffer at real-time pace, none otherwise.
    NullOutput(Pace pace, double latency);
    ~NullOutput() override;

    bool open(int wantedRate, MixCallback mix, void* user) override;
    void close() override;
    // Timed paces stop their thread while asleep; a stepped output only
    // pulls when stepped anyway.
    void sleep() override;
    bool wake() override;
    // Tests: whether the output is pulling on its own now.
    bool pulling() const { return m_pace != Pace::Stepped && m_running; }
    void lock() override { m_mutex.lock(); }
    void unlock() override { m_mutex.unlock(); }
    int rate() const override { return m_rate; }
    double latencySeconds() const override { return m_latency; }

    // Stepped pace: pulls `buffers` buffers on the calling thread.
    void step(int buffers);
    // Stepped pace: the stereo frames handed over while a stream was
    // playing, since the last call (at most a minute of them is kept).
    std::vector<float> takeTap();

private:
    void run();
    // With m_mutex held: pulls one buffer and keeps it in the tap.
    bool pull();

    const Pace m_pace;
    double m_latency;
    int m_rate = 44100;
    MixCallback m_mix = nullptr;
    void* m_user = nullptr;
    std::vector<float> m_buffer;
    std::atomic<bool> m_running{false};
    bool m_asleep = false;
    std::mutex m_mutex;  // the mix callback and the tap
    std::vector<float> m_tap;
    std::thread m_thread;
};

}  // namespace velmo::audio
