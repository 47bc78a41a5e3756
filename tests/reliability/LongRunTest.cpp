// Long use of the audio library: many streams played back to back and many
// load/play/stop cycles leave no thread, descriptor or memory behind.
// The CTest run uses short counts; VELMO_LONG_RUNS=1 runs the full lengths
// (200 files back to back, 10,000 cycles); VELMO_LONG_RUN_FILES sets the
// number of files.
#include "AudioRig.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

namespace {

bool longRuns() { return qEnvironmentVariableIntValue("VELMO_LONG_RUNS") != 0; }

TEST(LongRun, FilesBackToBackAllStartAndMemoryStaysFlat) {
    NullAudio audio(true);  // untimed: each short file plays in moments
    ASSERT_TRUE(audio.ok());
    QTemporaryDir temp(TestEnv::root() + "/longXXXXXX");
    const int chosen = qEnvironmentVariableIntValue("VELMO_LONG_RUN_FILES");
    const int files = chosen > 0 ? chosen : longRuns() ? 200 : 60;
    const int warmUp = 20;
    QStringList paths;
    WriteToneWav(temp.path() + "/track0.wav", 0.3);
    for (int i = 0; i < files; ++i) {
        paths << temp.path() + QStringLiteral("/track%1.wav").arg(i);
        if (i > 0)
            QFile::copy(paths[0], paths[i]);
    }

    double warmRss = 0, peakRss = 0;
    int started = 0;
    for (int i = 0; i < files; ++i) {
        const QByteArray name = paths[i].toUtf8();
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, name.constData(), 0, 0, 0);
        ASSERT_NE(stream, 0u) << "file " << i;
        EndCounter counter;
        counter.attach(stream);
        if (BASS_ChannelPlay(stream, TRUE))
            ++started;
        EXPECT_TRUE(WaitForEnd(counter, 10000)) << "file " << i << " did not reach its end";
        BASS_StreamFree(stream);
        if (i == warmUp)
            warmRss = ResidentMb();
        if (i > warmUp)
            peakRss = std::max(peakRss, ResidentMb());
    }
    EXPECT_EQ(started, files);
    EXPECT_LT(peakRss - warmRss, 5.0) << "resident memory grew from " << warmRss << " MB to " << peakRss << " MB";
}

TEST(LongRun, LoadPlayStopCyclesLeakNoThreadOrDescriptor) {
    NullAudio audio(true);
    ASSERT_TRUE(audio.ok());
    const QByteArray name = TestEnv::fixture("short-0.3s.wav").toUtf8();
    auto cycle = [&] {
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, name.constData(), 0, 0, BASS_STREAM_PRESCAN);
        if (!stream)
            return false;
        const bool played = BASS_ChannelPlay(stream, TRUE) && BASS_ChannelStop(stream);
        return BASS_StreamFree(stream) && played;
    };
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(cycle());
    const int threads = SettledThreadCount(0, 0);
    const int fds = OpenFdCount();
    const double rss = ResidentMb();

    const int cycles = longRuns() ? 10000 : 1000;
    int failed = 0;
    for (int i = 0; i < cycles; ++i)
        failed += cycle() ? 0 : 1;
    EXPECT_EQ(failed, 0);
    EXPECT_LE(SettledThreadCount(threads, 3000), threads);
    EXPECT_LE(OpenFdCount(), fds);
    EXPECT_LT(ResidentMb() - rss, 5.0);
}

}  // namespace
