// The peaking equalizer rendered offline: the gain at the centre matches the
// setting, bands far away leave a tone alone, and the effect chain of a
// stream applies, reports and drops the filter.

#include "AudioTestSupport.h"
#include "audio/PeakEq.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace audiotest;
using velmo::audio::PeakEq;

namespace {

constexpr int kRate = 44100;

BASS_BFX_PEAKEQ band(float centre, float gain, float octaves = 1.5f) {
    return BASS_BFX_PEAKEQ{0, octaves, 0.0f, centre, gain, BASS_BFX_CHANALL};
}

// Level change in dB of a stereo sine of `frequency` through `eq`, measured
// after the filter has settled.
double gainDb(PeakEq& eq, double frequency) {
    const int frames = kRate * 2;
    std::vector<float> samples(2 * size_t(frames));
    for (int i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] = float(0.25 * std::sin(2 * std::numbers::pi * frequency * i / kRate));
    eq.process(samples.data(), frames, 2);
    double in = 0, out = 0;
    for (int i = frames / 2; i < frames; ++i) {
        const double x = 0.25 * std::sin(2 * std::numbers::pi * frequency * i / kRate);
        in += x * x;
        out += double(samples[2 * i]) * samples[2 * i];
    }
    return 10 * std::log10(out / in);
}

struct GainCase {
    float centre;
    float gain;
};

class PeakGain : public ::testing::TestWithParam<GainCase> {};

TEST_P(PeakGain, CentreGainMatchesSetting) {
    PeakEq eq;
    ASSERT_TRUE(eq.setParameters(band(GetParam().centre, GetParam().gain), kRate));
    EXPECT_NEAR(gainDb(eq, GetParam().centre), GetParam().gain, 0.3);
}

INSTANTIATE_TEST_SUITE_P(Bands, PeakGain,
                         ::testing::Values(GainCase{63, -12}, GainCase{63, -6}, GainCase{63, 6}, GainCase{63, 12},
                                           GainCase{16000, -12}, GainCase{16000, -6}, GainCase{16000, 6},
                                           GainCase{16000, 12}));

TEST(PeakEqFilter, ToneTwoOctavesAwayMovesLessThanOneDecibel) {
    // One-octave bands; at the player's 1.5 octaves a 12 dB band still moves
    // a tone two octaves off by about 1.2 dB, as the filter shape dictates.
    for (auto [centre, tone] : {std::pair{250.0f, 63.0}, std::pair{63.0f, 250.0}, std::pair{4000.0f, 16000.0}})
        for (float gain : {-12.0f, 12.0f}) {
            PeakEq eq;
            ASSERT_TRUE(eq.setParameters(band(centre, gain, 1.0f), kRate));
            EXPECT_LT(std::fabs(gainDb(eq, tone)), 1.0) << centre << " Hz band, " << tone << " Hz tone";
        }
}

TEST(PeakEqFilter, ChannelMaskAndNyquistLeaveSoundAlone) {
    PeakEq eq;
    BASS_BFX_PEAKEQ leftOnly = band(1000, 12);
    leftOnly.lChannel = 1;
    ASSERT_TRUE(eq.setParameters(leftOnly, kRate));
    std::vector<float> samples(2 * 4410);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(std::sin(2 * std::numbers::pi * 1000 * double(i / 2) / kRate) * 0.1);
    const std::vector<float> before = samples;
    eq.process(samples.data(), 4410, 2);
    for (size_t i = 1; i < samples.size(); i += 2)
        ASSERT_EQ(samples[i], before[i]);  // right channel untouched

    PeakEq high;
    ASSERT_TRUE(high.setParameters(band(30000, 12), kRate));  // above Nyquist: no filter
    EXPECT_NEAR(gainDb(high, 1000), 0.0, 1e-6);
    EXPECT_FALSE(high.setParameters(band(0, 12), kRate));
}

// The one-pass chain gives what the filters give one after another, with
// every band on, with a band limited to one channel, and for mono; and in
// blocks of any length, shorter than the chain included, with the state
// carried from block to block.
TEST(PeakEqFilter, ChainMatchesFilterByFilter) {
    const int blocks[] = {1, 3, 8, 9, 10, 17, 4000, 5952};  // 10,000 frames in all
    for (auto [channels, leftOnlyBand] : {std::pair{2, -1}, std::pair{2, 4}, std::pair{1, -1}}) {
        PeakEq one[9], chained[9];
        PeakEq* chain[9];
        for (int b = 0; b < 9; ++b) {
            BASS_BFX_PEAKEQ p = band(63.0f * float(1 << b), b % 2 ? 7.0f : -5.0f);
            if (b == leftOnlyBand)
                p.lChannel = 1;
            ASSERT_TRUE(one[b].setParameters(p, kRate));
            ASSERT_TRUE(chained[b].setParameters(p, kRate));
            chain[b] = &chained[b];
        }
        std::vector<float> a(size_t(channels) * 20000);
        for (size_t i = 0; i < a.size(); ++i)
            a[i] = float(0.3 * std::sin(0.013 * double(i)) + 0.2 * std::sin(0.7 * double(i * i % 977)));
        std::vector<float> b = a;
        for (PeakEq& f : one)
            f.process(a.data(), 10000, channels);
        int done = 0;
        for (int frames : blocks) {
            PeakEq::processChain(chain, 9, b.data() + size_t(done) * channels, frames, channels);
            done += frames;
        }
        ASSERT_EQ(done, 10000);
        for (PeakEq& f : one)  // the state carries over
            f.process(a.data() + 10000 * channels, 10000, channels);
        PeakEq::processChain(chain, 9, b.data() + 10000 * channels, 10000, channels);
        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_NEAR(a[i], b[i], 1e-5) << channels << " channels, sample " << i;
    }
}

// Chains of other lengths, from one stage to twenty, match their filters too.
TEST(PeakEqFilter, ChainsOfAnyLengthMatch) {
    for (int count : {1, 2, 3, 11, 20}) {
        std::vector<PeakEq> one(count), chained(count);
        std::vector<PeakEq*> chain;
        for (int b = 0; b < count; ++b) {
            const BASS_BFX_PEAKEQ p = band(50.0f * float(b + 1), b % 3 ? 3.0f : -6.0f);
            ASSERT_TRUE(one[b].setParameters(p, kRate));
            ASSERT_TRUE(chained[b].setParameters(p, kRate));
            chain.push_back(&chained[b]);
        }
        std::vector<float> a(2 * 3000);
        for (size_t i = 0; i < a.size(); ++i)
            a[i] = float(0.4 * std::sin(0.021 * double(i)) * ((i % 2) ? 1.0 : -0.5));
        std::vector<float> b = a;
        for (PeakEq& f : one)
            f.process(a.data(), 3000, 2);
        PeakEq::processChain(chain.data(), count, b.data(), 1000, 2);
        PeakEq::processChain(chain.data(), count, b.data() + 2000, 2000, 2);
        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_NEAR(a[i], b[i], 1e-5) << count << " stages, sample " << i;
    }
}

// The stream's chain: +12 dB at the tone's frequency raises a decoded 440 Hz
// tone by 12 dB; the parameters read back; removing the effect restores it.
TEST(PeakEqChain, StreamEffectAppliesReadsBackAndRemoves) {
    auto rmsDb = [](const std::vector<float>& s) {
        double sum = 0;
        for (size_t i = s.size() / 2; i < s.size(); ++i)
            sum += double(s[i]) * s[i];
        return 10 * std::log10(sum / double(s.size() - s.size() / 2));
    };
    const std::string path = fixture("tone-stereo-44100.wav");
    const HSTREAM plain = open(path, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    const double plainDb = rmsDb(decodeRest(plain));

    const HSTREAM h = open(path, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    const HFX fx = BASS_ChannelSetFX(h, BASS_FX_BFX_PEAKEQ, 0);
    ASSERT_NE(fx, 0u);
    const BASS_BFX_PEAKEQ set = band(440, 12);
    ASSERT_TRUE(BASS_FXSetParameters(fx, &set));
    BASS_BFX_PEAKEQ read{};
    ASSERT_TRUE(BASS_FXGetParameters(fx, &read));
    EXPECT_EQ(read.fCenter, 440.0f);
    EXPECT_EQ(read.fGain, 12.0f);
    EXPECT_EQ(read.fBandwidth, 1.5f);
    EXPECT_EQ(read.lChannel, BASS_BFX_CHANALL);
    EXPECT_NEAR(rmsDb(decodeRest(h)) - plainDb, 12.0, 0.3);

    ASSERT_TRUE(BASS_ChannelRemoveFX(h, fx));
    EXPECT_FALSE(BASS_FXSetParameters(fx, &set));
    ASSERT_TRUE(BASS_ChannelSetPosition(h, 0, BASS_POS_BYTE));
    EXPECT_NEAR(rmsDb(decodeRest(h)) - plainDb, 0.0, 0.01);
    EXPECT_EQ(BASS_ChannelSetFX(h, 0x10005, 0), 0u);  // only the peaking equalizer exists
    BASS_StreamFree(plain);
    BASS_StreamFree(h);
}

}  // namespace
