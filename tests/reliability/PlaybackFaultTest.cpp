// An audio file that disappears or shrinks while it plays: playback ends
// cleanly with its end-of-stream notice (which drives the player's
// end-of-track rules), and nothing crashes or hangs.
#include "AudioRig.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

namespace {

struct FileFault {
    const char* name;
    double seconds;                               // length of the file
    std::function<void(const QString&)> apply;    // done while it plays
    int mustEndWithinMs;                          // from the fault on
};

class PlaybackFault : public ::testing::TestWithParam<FileFault> {};

TEST_P(PlaybackFault, EndsCleanlyWithItsEndNotice) {
    NullAudio audio(false);  // real-time pace, like a sound card
    ASSERT_TRUE(audio.ok());
    QTemporaryDir temp(TestEnv::root() + "/playXXXXXX");
    const QString path = temp.path() + "/song.wav";
    WriteToneWav(path, GetParam().seconds);

    const QByteArray name = path.toUtf8();
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, name.constData(), 0, 0, 0);
    ASSERT_NE(stream, 0u);
    EndCounter counter;
    ASSERT_NE(counter.attach(stream), 0u);
    const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    QThread::msleep(300);
    ASSERT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_PLAYING);

    GetParam().apply(path);
    EXPECT_TRUE(WaitForEnd(counter, GetParam().mustEndWithinMs));
    QElapsedTimer clock;
    clock.start();
    while (BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED && clock.elapsed() < 2000)
        QThread::msleep(5);
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(counter.ends.load(), 1);
    EXPECT_LE(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), length);

    // The stream stays usable: played again from the start it ends again.
    counter.ends = 0;
    EXPECT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_TRUE(WaitForEnd(counter, GetParam().mustEndWithinMs + int(GetParam().seconds * 1000)));
    EXPECT_TRUE(BASS_StreamFree(stream));
}

void truncateTo(const QString& path, qint64 size) { QFile::resize(path, size); }

const FileFault kFaults[] = {
    // The open file stays readable after unlink: it plays to its end.
    {"Deleted", 2.0, [](const QString& p) { QFile::remove(p); }, 5000},
    // Only the header is left: the rest of a 30 s file is gone.
    {"TruncatedToHeader", 30.0, [](const QString& p) { truncateTo(p, 44); }, 5000},
    // Cut in the middle of a sample frame, a little after the play position.
    {"TruncatedMidFrame", 30.0, [](const QString& p) { truncateTo(p, 44 + 44100 * 4 + 3); }, 5000},
    {"TruncatedToNothing", 30.0, [](const QString& p) { truncateTo(p, 0); }, 5000},
};

INSTANTIATE_TEST_SUITE_P(WhilePlaying, PlaybackFault, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
