#include "audio/PeakEq.h"

#include <cmath>
#include <numbers>

namespace velmo::audio {

bool PeakEq::setParameters(const BASS_BFX_PEAKEQ& params, int rate) {
    if (!(params.fCenter > 0) || params.fBandwidth < 0 || params.fQ < 0 || rate <= 0)
        return false;
    m_params = params;
    const double nyquist = rate / 2.0;
    m_bypass = params.fGain == 0.0f || params.fCenter >= nyquist;
    if (m_bypass)
        return true;

    const double a = std::pow(10.0, params.fGain / 40.0);
    const double w0 = 2.0 * std::numbers::pi * params.fCenter / rate;
    const double sinW0 = std::sin(w0);
    const double cosW0 = std::cos(w0);
    double alpha;
    if (params.fQ > 0) {
        alpha = sinW0 / (2.0 * params.fQ);
    } else {
        // A bandwidth of 0 octaves would make no filter; one octave is the default.
        const double octaves = params.fBandwidth > 0 ? params.fBandwidth : 1.0;
        alpha = sinW0 * std::sinh(std::numbers::ln2 / 2.0 * octaves * w0 / sinW0);
    }
    const double a0 = 1.0 + alpha / a;
    m_b0 = (1.0 + alpha * a) / a0;
    m_b1 = (-2.0 * cosW0) / a0;
    m_b2 = (1.0 - alpha * a) / a0;
    m_a1 = (-2.0 * cosW0) / a0;
    m_a2 = (1.0 - alpha / a) / a0;
    return true;
}

void PeakEq::process(float* samples, int frames, int channels) {
    if (m_bypass)
        return;
    const int count = channels < kMaxChannels ? channels : kMaxChannels;
    const unsigned mask = unsigned(m_params.lChannel);
    for (int c = 0; c < count; ++c) {
        if (m_params.lChannel != BASS_BFX_CHANALL && !(mask & (1u << c)))
            continue;
        State& s = m_state[c];
        double z1 = s.z1, z2 = s.z2;
        float* p = samples + c;
        for (int i = 0; i < frames; ++i, p += channels) {
            const double x = *p;
            const double y = m_b0 * x + z1;
            z1 = m_b1 * x - m_a1 * y + z2;
            z2 = m_b2 * x - m_a2 * y;
            *p = float(y);
        }
        // Keep denormals out of the state when the input falls silent.
        if (std::fabs(z1) < 1e-25) z1 = 0;
        if (std::fabs(z2) < 1e-25) z2 = 0;
        s.z1 = z1;
        s.z2 = z2;
    }
}

void PeakEq::reset() { m_state = {}; }

}  // namespace velmo::audio
