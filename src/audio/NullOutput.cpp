// The null output: a simulated device for tests. A thread pulls 512-frame
// buffers at 44100 Hz, either at real-time pace or (untimed) back to back,
// and throws the sound away.

#include "audio/AudioOutput.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace velmo::audio {
namespace {

constexpr int kRate = 44100;
constexpr int kBufferFrames = 512;

class NullOutput final : public AudioOutput {
public:
    explicit NullOutput(bool untimed) : m_untimed(untimed) {}
    ~NullOutput() override { close(); }

    bool open(int, MixCallback mix, void* user) override {
        m_mix = mix;
        m_user = user;
        m_running = true;
        m_thread = std::thread([this] { run(); });
        return true;
    }

    void close() override {
        if (!m_thread.joinable())
            return;
        m_running = false;
        m_thread.join();
    }

    void lock() override { m_mutex.lock(); }
    void unlock() override { m_mutex.unlock(); }
    int rate() const override { return kRate; }
    double latencySeconds() const override { return m_untimed ? 0.0 : double(kBufferFrames) / kRate; }

private:
    void run() {
        std::vector<float> buffer(2 * kBufferFrames);
        using Clock = std::chrono::steady_clock;
        const auto period = std::chrono::microseconds(1000000LL * kBufferFrames / kRate);
        auto next = Clock::now();
        while (m_running) {
            bool active;
            {
                std::lock_guard<std::mutex> guard(m_mutex);
                active = m_mix(buffer.data(), kBufferFrames, m_user);
            }
            if (m_untimed) {
                // Idle gently while nothing plays; otherwise go flat out.
                if (!active)
                    std::this_thread::sleep_for(std::chrono::microseconds(500));
                else
                    std::this_thread::yield();
            } else {
                next += period;
                std::this_thread::sleep_until(next);
            }
        }
    }

    const bool m_untimed;
    MixCallback m_mix = nullptr;
    void* m_user = nullptr;
    std::atomic<bool> m_running{false};
    std::mutex m_mutex;
    std::thread m_thread;
};

}  // namespace

std::unique_ptr<AudioOutput> makeNullOutput(bool untimed) { return std::make_unique<NullOutput>(untimed); }

}  // namespace velmo::audio
