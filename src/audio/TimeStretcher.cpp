#include "audio/TimeStretcher.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>

namespace velmo::audio {

using RubberBand::RubberBandStretcher;

TimeStretcher::TimeStretcher(int rate, int channels)
    : m_channels(channels),
      // The faster engine: its sound is good for speech and practice, and it
      // costs a fraction of the finer one. No threads of its own: the output
      // thread runs it.
      m_rb(std::make_unique<RubberBandStretcher>(
          size_t(rate), size_t(channels),
          RubberBandStretcher::OptionProcessRealTime | RubberBandStretcher::OptionEngineFaster |
              RubberBandStretcher::OptionThreadingNever | RubberBandStretcher::OptionPitchHighConsistency)),
      m_planes(size_t(channels), std::vector<float>(kMaxPut)),
      m_planePointers(size_t(channels)) {
    m_rb->setMaxProcessSize(kMaxPut);
    for (int c = 0; c < channels; ++c)
        m_planePointers[size_t(c)] = m_planes[size_t(c)].data();
    reset(1.0);
}

TimeStretcher::~TimeStretcher() = default;

void TimeStretcher::reset(double speed) {
    m_rb->reset();
    m_speed = speed;
    m_rb->setTimeRatio(1.0 / speed);
    m_inputTaken = 0;
    m_lastPut = false;
    // Silence in front primes the library so that the first input frame
    // comes out first once the start delay is dropped.
    const int pad = int(m_rb->getPreferredStartPad());
    for (auto& plane : m_planes)
        std::fill(plane.begin(), plane.end(), 0.0f);
    for (int left = pad; left > 0;) {
        const int n = std::min(left, kMaxPut);
        m_rb->process(m_planePointers.data(), size_t(n), false);
        left -= n;
    }
    m_discard = int64_t(m_rb->getStartDelay());
}

void TimeStretcher::setSpeed(double speed) {
    if (speed == m_speed)
        return;
    m_speed = speed;
    m_rb->setTimeRatio(1.0 / speed);
}

void TimeStretcher::put(const float* frames, int count, bool last) {
    count = std::clamp(count, 0, kMaxPut);
    for (int c = 0; c < m_channels; ++c) {
        float* plane = m_planes[size_t(c)].data();
        for (int i = 0; i < count; ++i)
            plane[i] = frames[size_t(i) * m_channels + c];
    }
    m_rb->process(m_planePointers.data(), size_t(count), last);
    m_lastPut = m_lastPut || last;
}

int TimeStretcher::available() const { return m_rb->available(); }

int TimeStretcher::take(float* out, int maxFrames) {
    int written = 0;
    while (written < maxFrames) {
        const int ready = available();
        if (ready <= 0)
            break;
        const int n = int(std::min<int64_t>({int64_t(ready), int64_t(kMaxPut), int64_t(maxFrames - written) + m_discard}));
        const int got = int(m_rb->retrieve(m_planePointers.data(), size_t(n)));
        if (got <= 0)
            break;
        const int dropped = int(std::min<int64_t>(m_discard, got));
        m_discard -= dropped;
        for (int i = dropped; i < got; ++i, ++written)
            for (int c = 0; c < m_channels; ++c)
                out[size_t(written) * m_channels + c] = m_planes[size_t(c)][size_t(i)];
    }
    m_inputTaken += written * m_speed;
    return written;
}

bool TimeStretcher::finished() const { return m_lastPut && available() < 0; }

}  // namespace velmo::audio
