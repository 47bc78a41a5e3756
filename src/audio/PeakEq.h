#pragma once
// The peaking-equalizer effect: one RBJ-cookbook peaking biquad per channel,
// coefficients and state in double precision, transposed direct form II.

#include "audio/bass.h"

#include <array>

namespace velmo::audio {

class PeakEq {
public:
    static constexpr int kMaxChannels = 8;

    // Sets the parameters for a stream of `rate` Hz. A centre at or above the
    // Nyquist frequency, or a gain of 0 dB, leaves the sound untouched.
    // Returns false for parameters that make no filter (centre <= 0, negative
    // bandwidth or Q).
    bool setParameters(const BASS_BFX_PEAKEQ& params, int rate);
    const BASS_BFX_PEAKEQ& parameters() const { return m_params; }

    // Filters `frames` interleaved frames of `channels` channels in place.
    void process(float* samples, int frames, int channels);
    // Runs `count` filters in series over the frames in one pass: the result
    // of calling process() on each in turn (with double precision kept
    // between the filters), several times faster for stereo, as the filters'
    // recursions overlap instead of waiting on each other.
    static void processChain(PeakEq* const* filters, int count, float* samples, int frames, int channels);
    // Forgets the filter history (after a seek).
    void reset();

private:
    struct State {
        double z1 = 0, z2 = 0;
    };
    BASS_BFX_PEAKEQ m_params{0, 1.0f, 0.0f, 1000.0f, 0.0f, BASS_BFX_CHANALL};
    bool m_bypass = true;
    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    std::array<State, kMaxChannels> m_state{};
};

}  // namespace velmo::audio
