// What the mixer hands the device, read from the null output's tap: every
// channel layout and rate at the right pitch and level on the right
// speaker, the volume, the level meter, the position of the frame being
// heard behind a device latency, and seeks that fail.

#include "AudioTestSupport.h"
#include "TestWav.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cmath>

using namespace audiotest;

namespace {

constexpr DWORD kPlayFlags = BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT;

// One speaker's tone in a stretch of interleaved stereo.
struct Tone {
    double frequency = 0;  // Hz, 0 when silent
    double amplitude = 0;  // peak of the sine, from its RMS
};

Tone measure(const std::vector<float>& stereo, int channel, size_t from, size_t to, int rate) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(stereo[2 * i + channel]) * stereo[2 * i + channel];
    Tone tone;
    tone.amplitude = std::sqrt(2.0 * sum / double(to - from));
    if (tone.amplitude < 1e-3)
        return tone;
    // Rising zero crossings, placed between samples by interpolation.
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        const double a = stereo[2 * (i - 1) + channel], b = stereo[2 * i + channel];
        if (a < 0 && b >= 0) {
            const double at = double(i - 1) + a / (a - b);
            if (first < 0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings >= 2)
        tone.frequency = (crossings - 1) * rate / (last - first);
    return tone;
}

// Frames from the first to the last sample above -40 dBFS.
size_t soundingFrames(const std::vector<float>& stereo) {
    size_t first = SIZE_MAX, last = 0;
    for (size_t i = 0; i < stereo.size(); ++i)
        if (std::fabs(stereo[i]) > 0.01f) {
            first = std::min(first, i / 2);
            last = i / 2;
        }
    return first == SIZE_MAX ? 0 : last - first + 1;
}

struct MixCase {
    const char* file;
    float volume;
    double frequency[2];  // left, right; 0 = silent
    double amplitude[2];  // as heard, before the volume
};

// The sine sources are at 0.125 of full scale; a centre channel reaches
// each speaker at -3 dB.
constexpr double kFull = 0.125;
constexpr double kCentre = 0.125 * 0.70710678;

const MixCase kMixCases[] = {
    {"mix-mono-8000.flac", 1.0f, {1000, 1000}, {kFull, kFull}},
    {"mix-mono-11025.flac", 1.0f, {1000, 1000}, {kFull, kFull}},
    {"mix-mono-22050.flac", 1.0f, {1000, 1000}, {kFull, kFull}},
    {"mix-mono-32000.flac", 1.0f, {1000, 1000}, {kFull, kFull}},
    {"mix-mono-48000.flac", 1.0f, {1000, 1000}, {kFull, kFull}},
    {"mix-mono-88200.flac", 1.0f, {1000, 1000}, {kFull, kFull}},
    {"mix-mono-96000.flac", 1.0f, {1000, 1000}, {kFull, kFull}},
    {"mix-440left-660right.flac", 1.0f, {440, 660}, {kFull, kFull}},
    {"mix-440left-660right.flac", 0.1f, {440, 660}, {kFull, kFull}},
    {"mix-left-only.flac", 1.0f, {1000, 0}, {kFull, 0}},
    {"mix-centre-only-5.1.flac", 1.0f, {500, 500}, {kCentre, kCentre}},
    {"mix-centre-only-7.1.wav", 1.0f, {500, 500}, {kCentre, kCentre}},
};

TEST(Mixer, EveryLayoutAndRateSoundsRightOnBothDeviceRates) {
    for (int deviceRate : {44100, 48000}) {
        SteppedOutputSession session(deviceRate);
        ASSERT_TRUE(session.started);
        for (const MixCase& c : kMixCases) {
            SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(deviceRate) + " Hz, volume " +
                         std::to_string(c.volume));
            const HSTREAM h = open(fixture(c.file), kPlayFlags);
            ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
            const double seconds = BASS_ChannelBytes2Seconds(h, BASS_ChannelGetLength(h, BASS_POS_BYTE));
            ASSERT_TRUE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, c.volume));
            ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));

            std::vector<float> tap = session.step(10);
            // The meter shows what each speaker gets, before the volume.
            const DWORD level = BASS_ChannelGetLevel(h);
            const DWORD words[2] = {level & 0xFFFF, level >> 16};
            const int buffers = int(seconds * deviceRate / SteppedOutputSession::kBufferFrames) + 4;
            const std::vector<float> rest = session.step(buffers);
            tap.insert(tap.end(), rest.begin(), rest.end());
            BASS_StreamFree(h);

            const double expectedFrames = seconds * deviceRate;
            EXPECT_NEAR(double(soundingFrames(tap)), expectedFrames, 0.01 * expectedFrames);
            ASSERT_GE(double(tap.size() / 2), 0.9 * expectedFrames);
            const size_t from = size_t(0.1 * expectedFrames), to = size_t(0.9 * expectedFrames);
            for (int ch = 0; ch < 2; ++ch) {
                SCOPED_TRACE(ch == 0 ? "left" : "right");
                const Tone tone = measure(tap, ch, from, to, deviceRate);
                EXPECT_NEAR(tone.frequency, c.frequency[ch], 0.002 * c.frequency[ch] + 0.01);
                EXPECT_NEAR(tone.amplitude, c.amplitude[ch] * c.volume, 0.02 * c.amplitude[ch] * c.volume + 1e-3);
                EXPECT_NEAR(double(words[ch]), c.amplitude[ch] * 32768, 0.03 * c.amplitude[ch] * 32768 + 33);
            }
        }
    }
}

// A file whose rate no resampler can take on (its filter would not fit in
// memory) is refused with an error instead of playing at the wrong speed.
TEST(Mixer, StreamThatCannotBeResampledIsRefused) {
    const QString path = TestEnv::root() + "/two-gigahertz.wav";
    ASSERT_TRUE(WriteTestWav(path, 0.25, 8000, 1));
    {
        // The header's rate (at byte 24) says 2 GHz.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(24));
        const char rate[4] = {0x00, char(0x94), 0x35, 0x77};  // 2000000000, little endian
        ASSERT_EQ(file.write(rate, 4), 4);
    }
    SteppedOutputSession session(44100);
    ASSERT_TRUE(session.started);
    EXPECT_EQ(open(path.toStdString(), kPlayFlags), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    // Decoding alone needs no resampler.
    const HSTREAM decoding = open(path.toStdString(), kPlayFlags | BASS_STREAM_DECODE);
    EXPECT_NE(decoding, 0u);
    BASS_StreamFree(decoding);
}

constexpr int kLatencyFrames = 4410;  // 0.1 s at 44.1 kHz

TEST(Mixer, PositionIsTheFrameBeingHeardBehindTheDeviceLatency) {
    SteppedOutputSession session(44100, kLatencyFrames / 44100.0);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("ramp-1.2s.wav"), kPlayFlags);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));

    // Buffer by buffer: nothing heard until the latency has passed, then
    // the frame the device sounds now, which is the frame named.
    std::vector<float> tap;
    for (int buffer = 1; buffer <= 40; ++buffer) {
        const std::vector<float> more = session.step(1);
        tap.insert(tap.end(), more.begin(), more.end());
        const int64_t heard = int64_t(tap.size() / 2) - kLatencyFrames;
        SCOPED_TRACE(buffer);
        if (heard <= 0) {
            ASSERT_EQ(positionFrames(h), 0);
        } else {
            ASSERT_EQ(positionFrames(h), heard);
            ASSERT_EQ(frameHeardIn(tap, size_t(heard)), heard);
        }
    }

    // Paused, the position is where the sound stops, and where it resumes.
    const int64_t handed = int64_t(tap.size() / 2);
    ASSERT_TRUE(BASS_ChannelPause(h));
    EXPECT_EQ(positionFrames(h), handed);
    EXPECT_TRUE(session.step(5).empty());
    EXPECT_EQ(positionFrames(h), handed);
    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    tap = session.step(1);
    EXPECT_EQ(frameHeardIn(tap, 0), handed);
    EXPECT_EQ(positionFrames(h), handed);  // the resumed sound is not heard yet
    session.step(9);
    EXPECT_EQ(positionFrames(h), handed + 10 * 512 - kLatencyFrames);

    // A seek names its target at once, and the play head moves on from it
    // once the new sound is heard.
    const int64_t target = 30000;
    ASSERT_TRUE(BASS_ChannelSetPosition(h, framesToBytes(h, target), BASS_POS_BYTE));
    EXPECT_EQ(positionFrames(h), target);
    tap = session.step(8);  // 4096 frames, less than the latency
    EXPECT_EQ(frameHeardIn(tap, 0), target);
    EXPECT_EQ(positionFrames(h), target);
    session.step(2);
    EXPECT_EQ(positionFrames(h), target + 10 * 512 - kLatencyFrames);
    BASS_StreamFree(h);
}

TEST(Mixer, SeekOnAStalledFileReturnsAndTheNewestPlaceSoundsOnceReadsGoOn) {
    SteppedOutputSession session(44100);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("ramp-1.2s.wav"), kPlayFlags);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    session.step(10);

    // Reads stall: the seek's first read never comes back while held, so
    // the seek returns after a moment, silent at the new place; a second
    // one while the decoder is still stuck replaces it without waiting.
    velmo::audio::test::holdDecoderReads(true);
    for (const int64_t target : {40000, 30000}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(BASS_ChannelSetPosition(h, framesToBytes(h, target), BASS_POS_BYTE));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "waited for the stuck read";
        EXPECT_EQ(positionFrames(h), target);
    }
    velmo::audio::test::holdDecoderReads(false);

    // Reads go on: the newest place plays, nothing from before it.
    std::vector<float> tap = session.step(4);
    ASSERT_EQ(tap.size(), 2u * 4 * 512);
    EXPECT_EQ(frameHeardIn(tap, 0), 30000);
    EXPECT_EQ(frameHeardIn(tap, tap.size() / 2 - 1), 30000 + 4 * 512 - 1);
    EXPECT_EQ(positionFrames(h), 30000 + 4 * 512);

    // Freeing a stream whose decoder is stuck in a read does not wait for it.
    velmo::audio::test::holdDecoderReads(true);
    EXPECT_TRUE(BASS_ChannelSetPosition(h, framesToBytes(h, 20000), BASS_POS_BYTE));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(BASS_StreamFree(h));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "waited for the stuck read";
    velmo::audio::test::holdDecoderReads(false);
}

TEST(Mixer, FailedSeekLeavesPositionAndSoundInAgreement) {
    SteppedOutputSession session(44100);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("ramp-1.2s.wav"), kPlayFlags);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    session.step(10);
    const int64_t before = positionFrames(h);
    ASSERT_EQ(before, 10 * 512);

    // The decoder strays and fails, but finds its way back: nothing changes.
    velmo::audio::test::failNextSeeks(1, 20000);
    EXPECT_FALSE(BASS_ChannelSetPosition(h, framesToBytes(h, 40000), BASS_POS_BYTE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
    EXPECT_EQ(positionFrames(h), before);
    std::vector<float> tap = session.step(4);
    EXPECT_EQ(frameHeardIn(tap, 0), before);
    EXPECT_EQ(frameHeardIn(tap, tap.size() / 2 - 1), before + 4 * 512 - 1);
    EXPECT_EQ(positionFrames(h), before + 4 * 512);

    // It cannot find its way back either: the stream plays on from where
    // the decoder is, and the position says so.
    velmo::audio::test::failNextSeeks(2, 20000);
    EXPECT_FALSE(BASS_ChannelSetPosition(h, framesToBytes(h, 40000), BASS_POS_BYTE));
    EXPECT_EQ(positionFrames(h), 20000);
    tap = session.step(4);
    EXPECT_EQ(frameHeardIn(tap, 0), 20000);
    EXPECT_EQ(positionFrames(h), 20000 + 4 * 512);
    BASS_StreamFree(h);
}

}  // namespace
