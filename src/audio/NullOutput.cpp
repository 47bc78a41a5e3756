#include "audio/NullOutput.h"

#include <chrono>

namespace velmo::audio {

NullOutput::NullOutput(Pace pace, double latency)
    : m_pace(pace), m_latency(latency), m_buffer(2 * kBufferFrames) {}

NullOutput::~NullOutput() { close(); }

bool NullOutput::open(int wantedRate, MixCallback mix, void* user) {
    // Like a device that takes the rate it is asked for.
    m_rate = wantedRate > 0 ? wantedRate : 44100;
    if (m_latency < 0)
        m_latency = m_pace == Pace::RealTime ? double(kBufferFrames) / m_rate : 0.0;
    m_mix = mix;
    m_user = user;
    m_running = true;
    if (m_pace != Pace::Stepped)
        m_thread = std::thread([this] { run(); });
    return true;
}

void NullOutput::close() {
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
}

void NullOutput::sleep() {
    if (m_pace == Pace::Stepped || !m_running)
        return;
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    m_asleep = true;
}

bool NullOutput::wake() {
    if (!m_asleep)
        return true;
    m_asleep = false;
    m_running = true;
    m_thread = std::thread([this] { run(); });
    return true;
}

void NullOutput::step(int buffers) {
    std::lock_guard<std::mutex> guard(m_mutex);
    for (int i = 0; i < buffers && m_running; ++i)
        pull();
}

std::vector<float> NullOutput::takeTap() {
    std::lock_guard<std::mutex> guard(m_mutex);
    std::vector<float> tap;
    tap.swap(m_tap);
    return tap;
}

bool NullOutput::pull() {
    const bool active = m_mix(m_buffer.data(), kBufferFrames, m_user);
    // Only a stepped output keeps a tap: the others serve tests that play
    // for long and would hold a minute of sound for nothing.
    if (active && m_pace == Pace::Stepped && m_tap.size() < size_t(120) * m_rate)
        m_tap.insert(m_tap.end(), m_buffer.begin(), m_buffer.end());
    return active;
}

void NullOutput::run() {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::microseconds(1000000LL * kBufferFrames / m_rate);
    auto next = Clock::now();
    while (m_running) {
        bool active;
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            active = pull();
        }
        if (m_pace == Pace::Untimed) {
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

}  // namespace velmo::audio
