// Files the library must refuse or survive, and file names that arrive as
// UTF-16.

#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace audiotest;

namespace {

struct RefusedCase {
    const char* what;
    std::string path;
    int error;
};

TEST(BadInput, RefusedFilesGiveNoHandle) {
    const RefusedCase cases[] = {
        {"missing", fixture("no-such-file.mp3"), BASS_ERROR_FILEOPEN},
        {"text named .mp3", fixture("text.mp3"), BASS_ERROR_FILEFORM},
        {"zero bytes", fixture("empty.mp3"), BASS_ERROR_FILEFORM},
        {"a folder", fixture(""), BASS_ERROR_FILEFORM},
    };
    for (const auto& c : cases)
        for (DWORD flags : {BASS_STREAM_DECODE, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN}) {
            EXPECT_EQ(open(c.path, flags), 0u) << c.what;
            EXPECT_EQ(BASS_ErrorGetCode(), c.error) << c.what;
        }
}

// Bytes this process has read through read() so far (/proc/self/io "rchar").
qint64 bytesReadByProcess() {
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

TEST(BadInput, GigabytesOfZerosAreRefusedWithoutReadingThemAll) {
    // FFmpeg takes such a file for MP3 and, finding no frame, would read all
    // of it while the player waits.
    const QString path = TestEnv::root() + "/zeros.mp3";
    {
        QFile zeros(path);
        ASSERT_TRUE(zeros.open(QIODevice::WriteOnly));
        ASSERT_TRUE(zeros.resize(qint64(3) << 30));  // sparse: costs no disk
    }
    const qint64 before = bytesReadByProcess();
    ASSERT_GE(before, 0);
    EXPECT_EQ(open(path.toStdString(), BASS_STREAM_DECODE | BASS_STREAM_PRESCAN), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    EXPECT_LT(bytesReadByProcess() - before, qint64(512) << 20);
    QFile::remove(path);
}

TEST(BadInput, WavFollowedByGigabytesOfZerosOpensWithoutReadingThem) {
    // A recorder that preallocates its file leaves zeros after the data
    // chunk; FFmpeg would walk them for further chunks, 8 bytes at a time.
    const QString path = TestEnv::root() + "/preallocated.wav";
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(TestEnv::fixture("tone-stereo-44100.wav"), path));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(qint64(3) << 30));  // sparse: costs no disk
    }
    for (DWORD flags : {BASS_STREAM_DECODE, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN}) {
        const qint64 before = bytesReadByProcess();
        const HSTREAM h = open(path.toStdString(), flags | BASS_SAMPLE_FLOAT);
        ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
        EXPECT_LT(bytesReadByProcess() - before, qint64(16) << 20);
        EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), framesToBytes(h, 44100));
        EXPECT_EQ(decodeRest(h).size(), 44100u * 2);
        BASS_StreamFree(h);
    }
    QFile::remove(path);
}

TEST(BadInput, TruncatedFileIsAShorterValidStream) {
    NullOutputSession session(true);
    ASSERT_TRUE(session.started);
    const HSTREAM decode = open(fixture("truncated.flac"), BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    ASSERT_NE(decode, 0u);
    const size_t frames = decodeRest(decode).size() / 2;
    EXPECT_GT(frames, 0u);
    EXPECT_LT(frames, 44100u);
    // Once decoded to its end, the length is what decodes.
    EXPECT_EQ(BASS_ChannelGetLength(decode, BASS_POS_BYTE), framesToBytes(decode, frames));
    BASS_StreamFree(decode);

    // Played, it reaches its end like any other stream.
    const HSTREAM h = open(fixture("truncated.flac"), BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u);
    std::atomic<int> ends{0};
    BASS_ChannelSetSync(
        h, BASS_SYNC_END, 0, [](HSYNC, DWORD, DWORD, void* user) { ++*static_cast<std::atomic<int>*>(user); },
        &ends);
    BASS_ChannelPlay(h, FALSE);
    EXPECT_TRUE(waitFor([&] { return ends.load() == 1; }));
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    BASS_StreamFree(h);
}

TEST(BadInput, PlayingNeedsAStartedLibrary) {
    EXPECT_EQ(open(fixture("tone-stereo-44100.mp3"), BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST(Utf16Names, NonAsciiNamesOpen) {
    // A name outside ASCII and the BMP (the note is a surrogate pair).
    const QString dir = TestEnv::root() + QString::fromUtf8("/Grüße ♪");
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString name = dir + QString::fromUtf8("/Лед Зеппелин 𝄞 — 音.mp3");
    QFile::remove(name);
    ASSERT_TRUE(QFile::copy(TestEnv::fixture("tone-stereo-44100.mp3"), name));

    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_UNICODE, 1));
    EXPECT_EQ(BASS_GetConfig(BASS_CONFIG_UNICODE), 1u);
    const HSTREAM wide = BASS_StreamCreateFile(FALSE, name.utf16(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE);
    EXPECT_NE(wide, 0u) << BASS_ErrorGetCode();
    BASS_StreamFree(wide);
    const HSTREAM narrow = open(name.toStdString(), BASS_STREAM_DECODE);
    EXPECT_NE(narrow, 0u);
    BASS_StreamFree(narrow);

    const char16_t lonelySurrogate[] = {u'a', char16_t(0xD834), u'.', u'm', u'p', u'3', 0};
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, lonelySurrogate, 0, 0, BASS_UNICODE | BASS_STREAM_DECODE), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
}

}  // namespace
