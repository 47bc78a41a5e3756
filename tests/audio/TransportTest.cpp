// Transport on the null output: the state machine, positions while paused
// and stopped, the level, and the end-of-stream sync (once per end, on a
// library thread, stream stopped afterwards, never after StreamFree).

#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <random>

#include <sys/resource.h>

using namespace audiotest;

namespace {

struct EndCounter {
    std::atomic<int> ends{0};
    std::atomic<bool> onCallerThread{false};
    std::thread::id caller = std::this_thread::get_id();
    std::atomic<DWORD> stateInSync{99};
    static void proc(HSYNC, DWORD channel, DWORD, void* user) {
        auto* self = static_cast<EndCounter*>(user);
        if (std::this_thread::get_id() == self->caller)
            self->onCallerThread = true;
        self->stateInSync = BASS_ChannelIsActive(channel);
        self->ends++;
    }
};

constexpr DWORD kPlayFlags = BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT;

TEST(Transport, PlayPauseStopKeepTheirPositions) {
    NullOutputSession session(false);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("tone-stereo-44100.mp3"), kPlayFlags);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetLevel(h), 0xFFFFFFFFu);

    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(h, BASS_POS_BYTE) > framesToBytes(h, 4410); }));
    // A 440 Hz tone at -18 dBFS (0.125) through ffmpeg's -3 dB stereo upmix.
    const DWORD level = BASS_ChannelGetLevel(h);
    EXPECT_NEAR(double(level & 0xFFFF), 0.125 * 0.7071 * 32768, 150);
    EXPECT_EQ(level & 0xFFFF, level >> 16);

    ASSERT_TRUE(BASS_ChannelPause(h));
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PAUSED);
    const QWORD paused = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), paused);
    EXPECT_EQ(BASS_ChannelGetLevel(h), 0xFFFFFFFFu);

    // Seeking while paused lands exactly; play resumes from there.
    const QWORD target = framesToBytes(h, 30001);
    ASSERT_TRUE(BASS_ChannelSetPosition(h, target, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), target);
    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(h, BASS_POS_BYTE) > target; }));

    ASSERT_TRUE(BASS_ChannelStop(h));
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    const QWORD stopped = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
    EXPECT_GT(stopped, target);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), stopped);
    ASSERT_TRUE(BASS_ChannelSetPosition(h, framesToBytes(h, 100), BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), framesToBytes(h, 100));
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));  // restart from the beginning
    EXPECT_LT(BASS_ChannelGetPosition(h, BASS_POS_BYTE), framesToBytes(h, 100));
    BASS_StreamFree(h);
}

// While nothing plays the output stops pulling, once what it was handed has
// been heard; playing wakes it, and the sound goes on from the paused frame.
TEST(Transport, IdleOutputSleepsAndWakesWhereItPaused) {
    NullOutputSession session(false);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("tone-stereo-44100.mp3"), kPlayFlags);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(waitFor([] { return !velmo::audio::test::nullOutputPulling(); }))
        << "an output with nothing playing keeps pulling";

    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    EXPECT_TRUE(velmo::audio::test::nullOutputPulling());
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(h, BASS_POS_BYTE) > framesToBytes(h, 4410); }));
    ASSERT_TRUE(BASS_ChannelPause(h));
    const QWORD paused = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(velmo::audio::test::nullOutputPulling()) << "the output slept before the last sound was heard";
    ASSERT_TRUE(waitFor([] { return !velmo::audio::test::nullOutputPulling(); }));
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), paused);

    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    EXPECT_TRUE(velmo::audio::test::nullOutputPulling());
    EXPECT_GE(BASS_ChannelGetPosition(h, BASS_POS_BYTE), paused);
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(h, BASS_POS_BYTE) > paused; }));
    EXPECT_GT(BASS_ChannelGetLevel(h) & 0xFFFF, 0u);
    BASS_StreamFree(h);
}

// Context switches of the whole process: each wake of any of its threads.
long processSwitches() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

// Whether the process's threads woke fewer than `most` times in 200 ms: a
// device fed while paused wakes its thread for every ~12 ms buffer.
bool processQuiet(long most) {
    const long before = processSwitches();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return processSwitches() - before < most;
}

// The real device output (SDL's dummy driver in the test run): once paused
// its thread wakes for nothing; play is heard at once; and the library
// closes while the device sleeps.
TEST(Transport, PausedDeviceWakesForNothingAndPlaysAtOnce) {
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    const HSTREAM h = open(fixture("tone-stereo-44100.mp3"), kPlayFlags);
    ASSERT_NE(h, 0u);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
        ASSERT_TRUE(waitFor([&] { return positionFrames(h) > 4410 * round; }));
        ASSERT_TRUE(BASS_ChannelPause(h));
        const int64_t paused = positionFrames(h);
        ASSERT_TRUE(waitFor([] { return processQuiet(6); })) << "the paused device keeps waking";
        EXPECT_EQ(positionFrames(h), paused);

        const auto resumed = std::chrono::steady_clock::now();
        ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
        ASSERT_TRUE(waitFor([&] { return positionFrames(h) > paused; }));
        EXPECT_LT(std::chrono::steady_clock::now() - resumed, std::chrono::milliseconds(150));
    }
    ASSERT_TRUE(BASS_ChannelPause(h));
    ASSERT_TRUE(waitFor([] { return processQuiet(6); }));
    BASS_StreamFree(h);
    EXPECT_TRUE(BASS_Free());
}

TEST(Transport, EndSyncFiresOncePerEndAfterTheLastFrame) {
    NullOutputSession session(true);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("short-0.3s.wav"), kPlayFlags);
    ASSERT_NE(h, 0u);
    EndCounter counter;
    ASSERT_NE(BASS_ChannelSetSync(h, BASS_SYNC_END, 0, &EndCounter::proc, &counter), 0u);
    const QWORD length = BASS_ChannelGetLength(h, BASS_POS_BYTE);

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
        ASSERT_TRUE(waitFor([&] { return counter.ends.load() == round; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(counter.ends.load(), round);
        EXPECT_FALSE(counter.onCallerThread.load());
        EXPECT_EQ(counter.stateInSync.load(), BASS_ACTIVE_STOPPED);
        EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), length);
        // As the player does after the end: rewind for the next round.
        ASSERT_TRUE(BASS_ChannelSetPosition(h, 0, BASS_POS_BYTE));
    }
    BASS_StreamFree(h);
}

TEST(Transport, EndSyncWaitsUntilTheLastFrameIsHeard) {
    NullOutputSession session(false);  // real-time pace
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("short-0.3s.wav"), kPlayFlags);
    ASSERT_NE(h, 0u);
    EndCounter counter;
    BASS_ChannelSetSync(h, BASS_SYNC_END, 0, &EndCounter::proc, &counter);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(BASS_ChannelPlay(h, FALSE));
    ASSERT_TRUE(waitFor([&] { return counter.ends.load() == 1; }));
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(elapsed, 0.29);
    EXPECT_LT(elapsed, 0.8);
    BASS_StreamFree(h);
}

TEST(Transport, NoSyncAfterStreamFree) {
    NullOutputSession session(true);
    ASSERT_TRUE(session.started);
    for (int delayMs : {0, 1, 3, 10}) {
        const HSTREAM h = open(fixture("short-0.3s.wav"), kPlayFlags);
        ASSERT_NE(h, 0u);
        EndCounter counter;
        BASS_ChannelSetSync(h, BASS_SYNC_END, 0, &EndCounter::proc, &counter);
        BASS_ChannelPlay(h, FALSE);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ASSERT_TRUE(BASS_StreamFree(h));
        const int atFree = counter.ends.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        EXPECT_EQ(counter.ends.load(), atFree) << delayMs;
        EXPECT_FALSE(BASS_ChannelPlay(h, FALSE));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    }
}

// Everything the GUI thread may do, fired while the output and decoder
// threads run flat out: no deadlock, no crash, and the stream still ends.
TEST(Transport, CallsDuringPlaybackAreSafe) {
    NullOutputSession session(true);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("tone-stereo-44100.m4a"), kPlayFlags);
    ASSERT_NE(h, 0u);
    EndCounter counter;
    BASS_ChannelSetSync(h, BASS_SYNC_END, 0, &EndCounter::proc, &counter);
    std::vector<HFX> bands;
    for ([[maybe_unused]] float centre : {63.f, 125.f, 250.f, 500.f, 1000.f, 2000.f, 4000.f, 8000.f, 16000.f})
        bands.push_back(BASS_ChannelSetFX(h, BASS_FX_BFX_PEAKEQ, 0));
    std::mt19937 random(7);
    const QWORD length = BASS_ChannelGetLength(h, BASS_POS_BYTE);
    BASS_ChannelPlay(h, FALSE);
    for (int i = 0; i < 300; ++i) {
        const BASS_BFX_PEAKEQ p{0, 1.5f, 0, 63.0f * float(1 << (i % 9)), float(int(random() % 25) - 12), -1};
        BASS_FXSetParameters(bands[i % 9], &p);
        BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, float(random() % 100) / 100.0f);
        if (i % 7 == 0)
            BASS_ChannelSetPosition(h, framesToBytes(h, random() % bytesToFrames(h, length)), BASS_POS_BYTE);
        if (i % 11 == 0)
            BASS_ChannelPause(h);
        if (i % 11 == 3)
            BASS_ChannelPlay(h, FALSE);
        BASS_ChannelGetLevel(h);
        BASS_ChannelIsActive(h);
        EXPECT_LE(BASS_ChannelGetPosition(h, BASS_POS_BYTE), length);
    }
    // The untimed output plays the one-second file in moments, so it may
    // have ended (and been played again) any number of times by now; what
    // counts is that the last play ends, once. Paused first, so no end is
    // still on its way when the count is taken.
    BASS_ChannelPause(h);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    const int endsBefore = counter.ends.load();
    BASS_ChannelPlay(h, FALSE);
    EXPECT_TRUE(waitFor([&] { return counter.ends.load() == endsBefore + 1; }))
        << "ends: " << counter.ends.load() - endsBefore;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(counter.ends.load(), endsBefore + 1);
    BASS_StreamFree(h);
}

}  // namespace

namespace {

// The SDL device (the dummy driver under test) leaves SIGTERM and SIGINT to
// the program: a player that swallowed them could not be ended by a logout or
// by `kill`.
TEST(Transport, DeviceLeavesTerminationSignalsAlone) {
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    for (int signal : {SIGTERM, SIGINT}) {
        struct sigaction current {};
        ASSERT_EQ(sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signal;
    }
    BASS_Free();
}

}  // namespace
