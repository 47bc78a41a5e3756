#include "audio/PeakEq.h"

#include "audio/PeakEqWide.h"

#include <cmath>
#include <emmintrin.h>
#include <numbers>

namespace velmo::audio {

bool PeakEq::s_wideKernel = true;

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

void PeakEq::processChain(PeakEq* const* filters, int count, float* samples, int frames, int channels) {
    constexpr int kMaxStages = 32;
    PeakEq* active[kMaxStages];
    int stages = 0;
    bool vectorFits = channels == 2 && count <= kMaxStages;
    for (int i = 0; i < count; ++i) {
        if (filters[i]->m_bypass)
            continue;
        const int mask = filters[i]->m_params.lChannel;
        vectorFits = vectorFits && (mask == BASS_BFX_CHANALL || (mask & 3) == 3);
        if (stages < kMaxStages)
            active[stages++] = filters[i];
    }
    if (stages == 0)
        return;
    if (!vectorFits) {
        for (int i = 0; i < count; ++i)
            filters[i]->process(samples, frames, channels);
        return;
    }

    if (s_wideKernel && wide::available()) {
        wide::StereoStage stereo[kMaxStages];
        for (int k = 0; k < stages; ++k) {
            const PeakEq& f = *active[k];
            stereo[k] = wide::StereoStage{f.m_b0, f.m_b1, f.m_b2, f.m_a1, f.m_a2,
                                          {f.m_state[0].z1, f.m_state[1].z1}, {f.m_state[0].z2, f.m_state[1].z2}};
        }
        wide::processStereo(stereo, stages, samples, frames);
        for (int k = 0; k < stages; ++k)
            for (int ch = 0; ch < 2; ++ch) {
                // Keep denormals out of the state when the input falls silent.
                active[k]->m_state[ch].z1 = std::fabs(stereo[k].z1[ch]) < 1e-25 ? 0.0 : stereo[k].z1[ch];
                active[k]->m_state[ch].z2 = std::fabs(stereo[k].z2[ch]) < 1e-25 ? 0.0 : stereo[k].z2[ch];
            }
        return;
    }

    // Left and right travel together in one register of two doubles.
    struct Stage {
        __m128d b0, b1, b2, a1, a2;
    };
    alignas(16) Stage c[kMaxStages];
    __m128d z1[kMaxStages], z2[kMaxStages];
    for (int k = 0; k < stages; ++k) {
        const PeakEq& f = *active[k];
        c[k] = Stage{_mm_set1_pd(f.m_b0), _mm_set1_pd(f.m_b1), _mm_set1_pd(f.m_b2), _mm_set1_pd(f.m_a1),
                     _mm_set1_pd(f.m_a2)};
        z1[k] = _mm_set_pd(f.m_state[1].z1, f.m_state[0].z1);
        z2[k] = _mm_set_pd(f.m_state[1].z2, f.m_state[0].z2);
    }
    for (int i = 0; i < frames; ++i) {
        float* p = samples + 2 * i;
        __m128d x = _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
        for (int k = 0; k < stages; ++k) {
            const __m128d y = _mm_add_pd(_mm_mul_pd(c[k].b0, x), z1[k]);
            z1[k] = _mm_add_pd(_mm_sub_pd(_mm_mul_pd(c[k].b1, x), _mm_mul_pd(c[k].a1, y)), z2[k]);
            z2[k] = _mm_sub_pd(_mm_mul_pd(c[k].b2, x), _mm_mul_pd(c[k].a2, y));
            x = y;
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(_mm_cvtpd_ps(x)));
    }
    for (int k = 0; k < stages; ++k) {
        alignas(16) double s1[2], s2[2];
        _mm_store_pd(s1, z1[k]);
        _mm_store_pd(s2, z2[k]);
        for (int ch = 0; ch < 2; ++ch) {
            // Keep denormals out of the state when the input falls silent.
            active[k]->m_state[ch].z1 = std::fabs(s1[ch]) < 1e-25 ? 0.0 : s1[ch];
            active[k]->m_state[ch].z2 = std::fabs(s2[ch]) < 1e-25 ? 0.0 : s2[ch];
        }
    }
}

}  // namespace velmo::audio
