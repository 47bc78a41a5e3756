// Looping a range and playing faster or slower, as the device gets it: each
// pass follows the last sample exact, loop changes while playing keep the
// sound continuous, and a stretched tone keeps its pitch while its duration
// and the reported position follow the speed.

#include "AudioTestSupport.h"
#include "TestWav.h"
#include "audio/TimeStretcher.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace audiotest;

namespace {

constexpr DWORD kPlayFlags = BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT;


bool setLoop(HSTREAM h, int64_t start, int64_t end) {
    return BASS_ChannelSetLoop(h, framesToBytes(h, QWORD(start)), framesToBytes(h, QWORD(end))) != FALSE;
}

// The ramp playing from `from` with the loop [start, end) set; 0 when any
// step fails.
HSTREAM playLoopedRamp(int64_t from, int64_t start, int64_t end) {
    const HSTREAM h = open(fixture("ramp-1.2s.wav"), kPlayFlags);
    if (h != 0 && BASS_ChannelSetPosition(h, framesToBytes(h, QWORD(from)), BASS_POS_BYTE) &&
        setLoop(h, start, end) && BASS_ChannelPlay(h, FALSE))
        return h;
    BASS_StreamFree(h);
    return 0;
}

// The first frame of `tap` from `from` on that does not follow the one
// before it under the loop [start, end) (no loop when end is 0); -1 when
// all do.
long firstBreak(const std::vector<float>& tap, size_t from, int64_t start, int64_t end) {
    for (size_t i = std::max<size_t>(from, 1); i < tap.size() / 2; ++i) {
        const int64_t before = frameHeardIn(tap, i - 1);
        const int64_t expected = end > start && before + 1 == end ? start : before + 1;
        if (frameHeardIn(tap, i) != expected)
            return long(i);
    }
    return -1;
}

TEST(Loop, EveryPassFollowsTheLastSampleExact) {
    SteppedOutputSession session(44100, 0.1);
    ASSERT_TRUE(session.started);
    const HSTREAM h = playLoopedRamp(12000, 10000, 15000);
    ASSERT_NE(h, 0u);

    // Over several passes: no frame lost, none repeated, none between.
    std::vector<float> tap = session.step(60);
    ASSERT_EQ(frameHeardIn(tap, 0), 12000);
    EXPECT_EQ(firstBreak(tap, 0, 10000, 15000), -1);
    // The position is the frame being heard, behind the device's 0.1 s.
    const size_t heard = tap.size() / 2 - 4410;
    EXPECT_EQ(positionFrames(h), frameHeardIn(tap, heard));

    // A loop that ends at the end of the file wraps there too.
    const int64_t length = int64_t(bytesToFrames(h, BASS_ChannelGetLength(h, BASS_POS_BYTE)));
    ASSERT_TRUE(BASS_ChannelSetPosition(h, framesToBytes(h, QWORD(length - 3000)), BASS_POS_BYTE));
    ASSERT_TRUE(setLoop(h, length - 4000, length));
    tap = session.step(40);
    EXPECT_EQ(frameHeardIn(tap, 0), length - 3000);
    EXPECT_EQ(firstBreak(tap, 0, length - 4000, length), -1);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);

    // Bad ranges are refused and leave the loop as it was.
    QWORD start = 0, end = 0;
    EXPECT_FALSE(setLoop(h, 500, 500));
    EXPECT_FALSE(setLoop(h, 0, length + 1));
    ASSERT_TRUE(BASS_ChannelGetLoop(h, &start, &end));
    EXPECT_EQ(bytesToFrames(h, start), QWORD(length - 4000));
    EXPECT_EQ(bytesToFrames(h, end), QWORD(length));
    BASS_StreamFree(h);
}

// Changing the loop while it plays: the frames already decoded are redone
// where they no longer fit, so the sound follows the new loop at once and
// without a gap.
struct LoopEdit {
    const char* what;
    int64_t start, end;  // the new loop; 0, 0 ends it
};
const LoopEdit kLoopEdits[] = {
    {"ended: plays on past the old end", 0, 0},
    {"end moved earlier, still ahead", 10000, 13500},
    {"end moved later", 10000, 30000},
    {"start moved: the next pass starts there", 11000, 15000},
    {"moved along with the play head inside", 9000, 14000},
};

TEST(Loop, ChangesWhilePlayingTakeEffectWithoutAGap) {
    SteppedOutputSession session(44100);
    ASSERT_TRUE(session.started);
    for (const LoopEdit& edit : kLoopEdits) {
        SCOPED_TRACE(edit.what);
        const HSTREAM h = playLoopedRamp(10000, 10000, 15000);
        ASSERT_NE(h, 0u);
        // A pass and a bit: the play head near 12000, the decoder well ahead.
        std::vector<float> tap = session.step(14);
        const size_t before = tap.size() / 2;
        ASSERT_EQ(firstBreak(tap, 0, 10000, 15000), -1);
        ASSERT_TRUE(edit.end == 0 ? setLoop(h, 0, 0) : setLoop(h, edit.start, edit.end));
        const std::vector<float> after = session.step(60);
        tap.insert(tap.end(), after.begin(), after.end());
        EXPECT_EQ(firstBreak(tap, before, edit.start, edit.end), -1);
        BASS_StreamFree(h);
    }
}

// A 1 kHz tone of `seconds` at 44.1 kHz, a quarter of full scale.
QString writeTone(double seconds) {
    const QString path = TestEnv::root() + "/tone-1k.wav";
    WriteTestWav(path, seconds, 44100, 1, [](int frame) {
        return qint16(std::lround(8192 * std::sin(2 * std::numbers::pi * 1000.0 * frame / 44100)));
    });
    return path;
}

// Mean frequency of the left channel over [from, to) frames, by rising zero
// crossings.
double frequencyOf(const std::vector<float>& stereo, size_t from, size_t to) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        const double a = stereo[2 * (i - 1)], b = stereo[2 * i];
        if (a < 0 && b >= 0) {
            const double at = double(i - 1) + a / (a - b);
            first = first < 0 ? at : first;
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0 : (crossings - 1) * 44100.0 / (last - first);
}

size_t soundingFrames(const std::vector<float>& stereo) {
    size_t first = SIZE_MAX, last = 0;
    for (size_t i = 0; i < stereo.size(); ++i)
        if (std::fabs(stereo[i]) > 0.01f) {
            first = std::min(first, i / 2);
            last = i / 2;
        }
    return first == SIZE_MAX ? 0 : last - first + 1;
}

TEST(Speed, ToneKeepsItsPitchAndTakesTheTimeTheSpeedGives) {
    const QString path = writeTone(4.0);
    for (const float tempo : {-50.0f, 50.0f}) {
        SCOPED_TRACE(tempo);
        const double speed = 1 + tempo / 100;
        SteppedOutputSession session(44100, 0.05);
        ASSERT_TRUE(session.started);
        const HSTREAM h = open(path.toStdString(), kPlayFlags);
        ASSERT_NE(h, 0u);
        ASSERT_TRUE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, tempo));
        ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));

        // Halfway through, the position is the file frame being heard.
        const int halfway = int(4.0 / speed / 2 * 44100 / 512);
        std::vector<float> tap = session.step(halfway);
        const double heardSeconds = (double(tap.size() / 2) - 0.05 * 44100) / 44100;
        EXPECT_NEAR(BASS_ChannelBytes2Seconds(h, BASS_ChannelGetPosition(h, BASS_POS_BYTE)), heardSeconds * speed,
                    0.03);

        while (BASS_ChannelIsActive(h) == BASS_ACTIVE_PLAYING && tap.size() / 2 < 10 * 44100) {
            const std::vector<float> more = session.step(50);
            tap.insert(tap.end(), more.begin(), more.end());
        }
        const double seconds = double(soundingFrames(tap)) / 44100;
        EXPECT_NEAR(seconds, 4.0 / speed, 0.02 * 4.0 / speed);
        const size_t frames = tap.size() / 2;
        EXPECT_NEAR(frequencyOf(tap, frames / 4, frames / 2), 1000.0, 10.0);
        BASS_StreamFree(h);
    }
}

// The stretcher's count of the input its output stands for meets the sound:
// each tone burst comes out where that count reaches the burst (its
// energy's centre, within 10 ms of the file's time), and the whole takes
// the time the speed gives.
TEST(Speed, StretchedSoundComesOutWhereTheInputCountSays) {
    constexpr int rate = 44100, burst = rate / 50, spacing = rate * 2 / 5, bursts = 8;
    const int length = spacing * (bursts + 1);
    std::vector<float> input(size_t(length) * 2, 0.0f);
    for (int b = 1; b <= bursts; ++b)
        for (int i = 0; i < burst; ++i)
            input[size_t(b * spacing + i) * 2] = float(0.5 * std::sin(2 * std::numbers::pi * 1000 * i / rate));
    for (const double speed : {0.5, 0.75, 1.5, 2.0}) {
        SCOPED_TRACE(speed);
        velmo::audio::TimeStretcher stretcher(rate, 2);
        stretcher.reset(speed);
        // Per output frame: its left sample and the input count after it.
        std::vector<float> out;
        std::vector<double> counted;
        std::vector<float> block(64 * 2);
        for (int at = 0; at < length || !stretcher.finished();) {
            if (int got = stretcher.take(block.data(), 64); got > 0) {
                for (int i = 0; i < got; ++i) {
                    out.push_back(block[size_t(i) * 2]);
                    counted.push_back(stretcher.inputTaken());
                }
                continue;
            }
            const int n = std::min(velmo::audio::TimeStretcher::kMaxPut, length - at);
            stretcher.put(input.data() + size_t(at) * 2, n, at + n >= length);
            at += n;
        }
        EXPECT_NEAR(double(out.size()), length / speed, 1.0);
        for (int b = 1; b <= bursts; ++b) {
            const double centre = b * spacing + burst / 2.0;
            const int from = int((centre - 0.15 * rate) / speed), to = int((centre + 0.15 * rate) / speed);
            double energy = 0, moment = 0;
            for (int i = std::max(0, from); i < std::min(int(out.size()), to); ++i) {
                energy += double(out[size_t(i)]) * out[size_t(i)];
                moment += double(out[size_t(i)]) * out[size_t(i)] * counted[size_t(i)];
            }
            ASSERT_GT(energy, 0.0) << b;
            EXPECT_NEAR(moment / energy, centre, 0.010 * rate) << b;
        }
    }
}

TEST(Speed, TempoOutsideItsRangeIsRefused) {
    SteppedOutputSession session(44100);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("ramp-1.2s.wav"), kPlayFlags);
    ASSERT_NE(h, 0u);
    struct Case {
        float tempo;
        bool accepted;
    };
    for (const Case c : {Case{-50, true}, Case{100, true}, Case{-50.5f, false}, Case{100.5f, false},
                         Case{NAN, false}}) {
        SCOPED_TRACE(c.tempo);
        ASSERT_TRUE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, 0));
        EXPECT_EQ(BASS_ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, c.tempo) != FALSE, c.accepted);
        float now = -1;
        ASSERT_TRUE(BASS_ChannelGetAttribute(h, BASS_ATTRIB_TEMPO, &now));
        EXPECT_EQ(now, c.accepted ? c.tempo : 0.0f);
    }
    BASS_StreamFree(h);

    // More channels than the stretcher takes: only as recorded.
    const QString wide = TestEnv::root() + "/twenty-four-channels.wav";
    ASSERT_TRUE(WriteTestWav(wide, 0.5, 44100, 24));
    const HSTREAM many = open(wide.toStdString(), kPlayFlags);
    ASSERT_NE(many, 0u);
    EXPECT_FALSE(BASS_ChannelSetAttribute(many, BASS_ATTRIB_TEMPO, -25));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    EXPECT_TRUE(BASS_ChannelSetAttribute(many, BASS_ATTRIB_TEMPO, 0));
    BASS_StreamFree(many);
}

// Back at 100 % the frames go out untouched, continuing where the stretched
// sound left off.
TEST(Speed, BackToNormalSpeedPlaysTheFramesUntouched) {
    SteppedOutputSession session(44100);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("ramp-1.2s.wav"), kPlayFlags);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, -25));
    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    session.step(20);
    const int64_t position = positionFrames(h);
    ASSERT_TRUE(BASS_ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, 0));
    const std::vector<float> tap = session.step(10);
    EXPECT_EQ(frameHeardIn(tap, 0), position);
    EXPECT_EQ(firstBreak(tap, 0, 0, 0), -1);
    BASS_StreamFree(h);
}

}  // namespace
