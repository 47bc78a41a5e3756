// File facts: size text, extension and format names, and what GetAudioInfo
// reads from each format and from files it cannot describe.

#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "playback/uAudioInfo.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <cstring>
#include <unistd.h>

namespace {

constexpr qint64 KiB = 1024;
constexpr qint64 GiB = KiB * KiB * KiB;
constexpr qint64 TiB = GiB * KiB;

TEST(FileSizeToText, UnitsOf1024WithTwoDecimals) {
    const struct {
        qint64 bytes;
        const char* text;
    } cases[] = {
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {KiB * KiB - 1, "1024.00 KB"},  // just below a unit rounds up, the unit stays
        {KiB * KiB, "1.00 MB"},
        {3690988, "3.52 MB"},
        {4 * GiB, "4.00 GB"},           // beyond 32 bits, in full
        {5 * GiB + GiB / 4, "5.25 GB"},
        {TiB, "1.00 TB"},
        {1536 * TiB, "1536.00 TB"},      // no thousands separator
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileSizeToText(c.bytes), QString::fromLatin1(c.text)) << c.bytes;
}

TEST(FileSizeToText, UsesTheLocaleDecimalSeparator) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FileSizeToText(1536), "1,50 KB");
    EXPECT_EQ(FileSizeToText(1536 * TiB), "1536,00 TB");
    QLocale::setDefault(previous);
}

TEST(AudioFileNames, ExtensionSupportAndFormat) {
    const struct {
        const char* path;
        const char* extension;
        bool supported;
        const char* format;
    } cases[] = {
        {"/music/song.mp3", ".mp3", true, "MP3"},
        {"/music/SONG.MP3", ".mp3", true, "MP3"},
        {"/music/a.Wav", ".wav", true, "WAV"},
        {"/music/a.ogg", ".ogg", true, "OGG"},
        {"/music/a.WMA", ".wma", true, "WMA"},
        {"/music/a.flac", ".flac", true, "FLAC"},
        {"/music/a.mp4", ".mp4", true, "MP4"},
        {"/music/a.M4A", ".m4a", true, "MP4 AUDIO"},
        {"/music/a.tar.mp3", ".mp3", true, "MP3"},     // the last dot counts
        {"/music/a.aac", ".aac", false, "Unknown"},
        {"/music/a.mp3.bak", ".bak", false, "Unknown"},
        {"/music/no extension", "", false, "Unknown"},
        {"/music.mp3/track", "", false, "Unknown"},   // a folder's dot is no extension
        {"/music/a.", ".", false, "Unknown"},
        {"", "", false, "Unknown"},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(GetFileExtLower(path), QString::fromLatin1(c.extension)) << c.path;
        EXPECT_EQ(IsSupportedAudioFile(path), c.supported) << c.path;
        EXPECT_EQ(GetFormatName(GetFileExtLower(path)), QString::fromLatin1(c.format)) << c.path;
    }
    // The name itself is lowered before the comparison too.
    EXPECT_EQ(GetFormatName(".FLAC"), "FLAC");
    EXPECT_EQ(GetFormatName(".M4a"), "MP4 AUDIO");
}

// ---- GetAudioInfo --------------------------------------------------------------

class AudioInfo : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    // A copy of a fixture under another name in the test's folder.
    QString copyAs(const QString& fixtureName, const QString& name) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QFile::copy(TestEnv::fixture(fixtureName), path));
        return path;
    }
    static void expectCleared(const TAudioInfo& info) {
        EXPECT_TRUE(info.FileName.isEmpty());
        EXPECT_TRUE(info.Format.isEmpty());
        EXPECT_EQ(info.SampleRate, 0u);
        EXPECT_EQ(info.Channels, 0u);
        EXPECT_EQ(info.StereoChannels, 0u);
        EXPECT_EQ(info.BitsPerSample, 0u);
        EXPECT_EQ(info.DurationSec, 0.0);
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
};

struct FactsCase {
    const char* file;
    const char* format;
    quint32 rate;
    quint32 channels;
    quint32 stereoChannels;
    quint32 bits;
    double seconds;
    qint64 size;
    const char* sizeText;
};

TEST_F(AudioInfo, ReadsTheFactsOfEveryFormat) {
    const FactsCase cases[] = {
        {"tone-stereo-44100.mp3", "MP3", 44100, 2, 1, 16, 1.0, 17180, "16.78 KB"},
        {"tone-stereo-44100.wav", "WAV", 44100, 2, 1, 16, 1.0, 176478, "172.34 KB"},
        {"tone-mono-48000.ogg", "OGG", 48000, 1, 0, 16, 47872 / 48000.0, 5371, "5.25 KB"},
        {"tone-stereo-44100.wma", "WMA", 44100, 2, 1, 16, 1.0, 10144, "9.91 KB"},
        {"tone-mono-22050.flac", "FLAC", 22050, 1, 0, 16, 1.0, 15178, "14.82 KB"},
        {"tone-stereo-44100.m4a", "MP4 AUDIO", 44100, 2, 1, 16, 45056 / 44100.0, 8904, "8.70 KB"},
        {"tone-mono-48000.mp4", "MP4", 48000, 1, 0, 16, 48128 / 48000.0, 6993, "6.83 KB"},
        {"tone-6ch-8000.flac", "FLAC", 8000, 6, 3, 16, 0.25, 9386, "9.17 KB"},
        {"vbr-noxing.mp3", "MP3", 44100, 1, 0, 16, 89856 / 44100.0, 9436, "9.21 KB"},
        {"vbr-noxing-quiet-start.mp3", "MP3", 44100, 1, 0, 16, 222336 / 44100.0, 50797, "49.61 KB"},
        {"silence-mono-8000-u8.wav", "WAV", 8000, 1, 0, 8, 0.5, 4078, "3.98 KB"},
    };
    for (const FactsCase& c : cases) {
        SCOPED_TRACE(c.file);
        TAudioInfo info;
        ASSERT_TRUE(GetAudioInfo(TestEnv::fixture(c.file), info));
        EXPECT_EQ(info.FileName, QString::fromLatin1(c.file));
        EXPECT_EQ(info.Format, QString::fromLatin1(c.format));
        EXPECT_EQ(info.SampleRate, c.rate);
        EXPECT_EQ(info.Channels, c.channels);
        EXPECT_EQ(info.StereoChannels, c.stereoChannels);
        EXPECT_EQ(info.BitsPerSample, c.bits);
        // The exact length, as the loaded stream has it, wherever the file
        // states it or a walk over its frames finds it; WMA's is the
        // container's estimate.
        EXPECT_NEAR(info.DurationSec, c.seconds, std::strcmp(c.format, "WMA") ? 1e-9 : 0.07);
        EXPECT_EQ(info.FileSizeBytes, c.size);
        EXPECT_EQ(info.FileSizeTxt, QString::fromLatin1(c.sizeText));
    }
    EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(AudioInfo, UpperCaseNamesAndNonAsciiFoldersAreRead) {
    QDir(dir.path()).mkdir(QStringLiteral(u"Музыка"));
    const QString path = copyAs("tone-stereo-44100.mp3", QStringLiteral(u"Музыка/SONG.MP3"));
    TAudioInfo info;
    ASSERT_TRUE(GetAudioInfo(path, info));
    EXPECT_EQ(info.FileName, "SONG.MP3");
    EXPECT_EQ(info.Format, "MP3");
    EXPECT_EQ(info.SampleRate, 44100u);
}

TEST_F(AudioInfo, MissingFileIsReportedAndLeavesTheRecordEmpty) {
    const QString path = dir.filePath("gone.mp3");
    TAudioInfo info;
    info.SampleRate = 7;  // the record is cleared even when nothing is found
    info.FileSizeTxt = "stale";
    EXPECT_FALSE(GetAudioInfo(path, info));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral(u"Файл не найден: ") + path});
    expectCleared(info);
    EXPECT_EQ(info.FileSizeBytes, 0);
    EXPECT_TRUE(info.FileSizeTxt.isEmpty());
}

TEST_F(AudioInfo, FilesThatGiveNoFactsFailSilently) {
    // Not audio by name, not audio by content, and names that are no files.
    QFile::copy(TestEnv::fixture("tone-stereo-44100.wav"), dir.filePath("tone.aiff"));
    QDir(dir.path()).mkdir("folder.mp3");
    const struct {
        QString path;
        qint64 size;  // filled before the library is asked
        const char* sizeText;
    } cases[] = {
        {dir.filePath("tone.aiff"), 0, ""},          // unsupported: nothing is read
        {dir.filePath("absent.txt"), 0, ""},         // unsupported and missing: no message either
        {TestEnv::fixture("text.mp3"), 56, "56 B"},  // the library refuses it
        {TestEnv::fixture("empty.mp3"), 0, "0 B"},
        {dir.filePath("folder.mp3"), 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        TAudioInfo info;
        EXPECT_FALSE(GetAudioInfo(c.path, info));
        expectCleared(info);
        EXPECT_EQ(info.FileSizeBytes, c.size);
        EXPECT_EQ(info.FileSizeTxt, QString::fromLatin1(c.sizeText));
    }
    EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(AudioInfo, NamedPipeIsNotOpened) {
    // Opening a pipe for reading would wait for a writer forever.
    const QString path = dir.filePath("pipe.wav");
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    TAudioInfo info;
    EXPECT_FALSE(GetAudioInfo(path, info));
    EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(AudioInfo, SizesBeyond4GiBAreReportedInFull) {
    // A sparse file: a real FLAC at the start, a hole up to 5 GiB after it.
    const QString path = copyAs("tone-mono-22050.flac", "big.flac");
    QFile file(path);
    ASSERT_TRUE(file.resize(5 * GiB));
    TAudioInfo info;
    GetAudioInfo(path, info);
    EXPECT_EQ(info.FileSizeBytes, 5 * GiB);
    EXPECT_EQ(info.FileSizeTxt, "5.00 GB");
}

TEST_F(AudioInfo, UnreadableFileHasNoSize) {
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind the superuser";
    const QString path = copyAs("tone-stereo-44100.wav", "locked.wav");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    TAudioInfo info;
    GetAudioInfo(path, info);
    EXPECT_EQ(info.FileSizeBytes, 0);
    EXPECT_TRUE(info.FileSizeTxt.isEmpty());
    EXPECT_TRUE(prompts.asked.isEmpty());
}

}  // namespace
