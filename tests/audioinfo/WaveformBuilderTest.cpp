// The waveform's worker: it summarises a whole file, keeps the result in the
// cache, reads it back from there, and stops when asked.

#include "TestEnv.h"
#include "TestWav.h"
#include "audio/bass.h"
#include "playback/WaveformBuilder.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cmath>

namespace {

constexpr int kRate = 8000;

// A stereo tone at `amplitude` of full scale.
QString writeTone(const QString& name, double seconds, double amplitude) {
    const QString path = TestEnv::root() + QLatin1Char('/') + name;
    WriteTestWav(path, seconds, kRate, 2, [amplitude](int frame) {
        return static_cast<qint16>(std::lround(32767 * amplitude * std::sin(frame * 2 * M_PI * 441 / kRate)));
    });
    return path;
}

QString cacheFolder() {
    const QString folder = TestEnv::root() + QStringLiteral("/wave-cache/");
    QDir().mkpath(folder);
    return folder;
}

// Collects until the worker is done; fails after 20 s.
WaveformSummary buildAll(WaveformBuilder& builder) {
    WaveformSummary summary;
    QDeadlineTimer deadline(20000);
    while (!builder.finished() && !deadline.hasExpired()) {
        builder.collect(summary);
        QThread::msleep(5);
    }
    EXPECT_TRUE(builder.finished()) << "the worker did not end in time";
    builder.collect(summary);
    return summary;
}

class WaveformBuilderTest : public ::testing::Test {
protected:
    void SetUp() override { BASS_SetConfig(BASS_CONFIG_UNICODE, 1); }
};

TEST_F(WaveformBuilderTest, SummarisesEveryFrameAndKeepsItInTheCache) {
    const QString file = writeTone(QStringLiteral("wave-half.wav"), 2.5, 0.5);
    WaveformBuilder builder;
    builder.start(file, cacheFolder());
    const WaveformSummary summary = buildAll(builder);
    ASSERT_EQ(summary.sampleRate(), kRate);
    EXPECT_EQ(summary.framesCovered(), qint64(2.5 * kRate));
    const auto whole = summary.range(0, summary.framesCovered());
    ASSERT_TRUE(whole);
    EXPECT_NEAR(whole->high, 0.5, 0.02);
    EXPECT_NEAR(whole->low, -0.5, 0.02);

    const QString cached = WaveformBuilder::cacheFileFor(file, cacheFolder());
    ASSERT_TRUE(QFile::exists(cached));
    WaveformBuilder again;
    again.start(file, cacheFolder());
    EXPECT_EQ(buildAll(again).toBytes(), summary.toBytes());
}

TEST_F(WaveformBuilderTest, AChangedFileIsNotTakenFromTheCache) {
    const QString file = writeTone(QStringLiteral("wave-changed.wav"), 1, 0.25);
    WaveformBuilder builder;
    builder.start(file, cacheFolder());
    buildAll(builder);
    const QString before = WaveformBuilder::cacheFileFor(file, cacheFolder());
    QThread::msleep(20);  // a later modification time
    writeTone(QStringLiteral("wave-changed.wav"), 1.5, 0.9);
    EXPECT_NE(WaveformBuilder::cacheFileFor(file, cacheFolder()), before);
    builder.start(file, cacheFolder());
    const WaveformSummary summary = buildAll(builder);
    EXPECT_EQ(summary.framesCovered(), qint64(1.5 * kRate));
    EXPECT_NEAR(summary.range(0, summary.framesCovered())->high, 0.9, 0.02);
}

TEST_F(WaveformBuilderTest, ADamagedCacheFileIsComputedAgain) {
    const QString file = writeTone(QStringLiteral("wave-damaged.wav"), 1, 0.5);
    QFile damaged(WaveformBuilder::cacheFileFor(file, cacheFolder()));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a waveform");
    damaged.close();
    WaveformBuilder builder;
    builder.start(file, cacheFolder());
    EXPECT_EQ(buildAll(builder).framesCovered(), kRate);
}

TEST_F(WaveformBuilderTest, CancelStopsSoonAndUnreadableFilesEndEmpty) {
    const QString longFile = writeTone(QStringLiteral("wave-long.wav"), 300, 0.5);
    WaveformBuilder builder;
    builder.start(longFile, QString());
    QDeadlineTimer deadline(2000);
    builder.cancel();
    EXPECT_FALSE(deadline.hasExpired()) << "cancel waited for the whole file";
    WaveformSummary untouched;
    EXPECT_FALSE(builder.collect(untouched));

    const QString notAudio = TestEnv::root() + QStringLiteral("/wave-text.wav");
    QFile text(notAudio);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    builder.start(notAudio, cacheFolder());
    EXPECT_TRUE(buildAll(builder).isEmpty());
}

}  // namespace
