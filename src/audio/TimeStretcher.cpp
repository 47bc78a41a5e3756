#include "audio/TimeStretcher.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace velmo::audio {

namespace {

constexpr int kOverlapMs = 8;

}  // namespace

TimeStretcher::TimeStretcher(int rate, int channels)
    : m_rate(rate), m_channels(channels), m_st(std::make_unique<soundtouch::SoundTouch>()) {
    m_st->setSampleRate(unsigned(rate));
    m_st->setChannels(unsigned(channels));
    m_st->setPitch(1.0);
    m_st->setRate(1.0);
    m_st->setSetting(SETTING_OVERLAP_MS, kOverlapMs);
    reset(1.0);
}

TimeStretcher::~TimeStretcher() = default;

void TimeStretcher::reset(double speed) {
    m_st->clear();
    m_inputTaken = 0;
    m_outputDue = 0;
    m_outputTaken = 0;
    m_lastPut = false;
    m_speed = 0;
    setSpeed(speed);
}

void TimeStretcher::setSpeed(double speed) {
    if (speed == m_speed)
        return;
    m_speed = speed;
    m_st->setTempo(speed);
    // Each block the library writes plays its input as recorded, then the
    // next block starts where the speed says: slower, the sound runs ahead
    // of frame x speed by half the slack of a block on average; faster, it
    // lags behind alike.
    const double block = m_st->getSetting(SETTING_NOMINAL_OUTPUT_SEQUENCE) + kOverlapMs * m_rate / 1000.0;
    m_lead = (1.0 - speed) * block / 2;
}

void TimeStretcher::put(const float* frames, int count, bool last) {
    count = std::clamp(count, 0, kMaxPut);
    if (count > 0)
        m_st->putSamples(frames, unsigned(count));
    m_outputDue += count / m_speed;
    if (last && !m_lastPut)
        m_st->flush();  // pushes out what is held; the tail is cut at m_outputDue
    m_lastPut = m_lastPut || last;
}

int64_t TimeStretcher::outputLeft() const {
    const int64_t ready = m_st->numSamples();
    if (!m_lastPut)
        return ready;
    return std::clamp<int64_t>(std::llround(m_outputDue) - m_outputTaken, 0, ready);
}

int TimeStretcher::take(float* out, int maxFrames) {
    const int n = int(std::min<int64_t>(maxFrames, outputLeft()));
    const int written = n > 0 ? int(m_st->receiveSamples(out, unsigned(n))) : 0;
    m_outputTaken += written;
    m_inputTaken += written * m_speed;
    return written;
}

bool TimeStretcher::finished() const { return m_lastPut && outputLeft() == 0; }

}  // namespace velmo::audio
