// Chapters inside audio files: the library reads them on open, and a file
// without a marker file shows them as its markers, SAVED.

#include "MarkerWindow.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "timeline/AudioFileMarkers.h"
#include "timeline/MarkerFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace {

const char* const kChapterFixtures[] = {"chapters.m4a", "chapters.mp3", "chapters.ogg", "chapters.flac"};

struct Expected {
    double start;
    const char* title;
};
// What tests/fixtures/make-chapter-fixtures.sh writes into every file.
const Expected kChapters[] = {{0.0, "Intro"}, {0.4, "Verse über Brücken"}, {0.75, "Outro, with a comma"}};

void ExpectFixtureChapters(const TMarkerList& markers, const char* file) {
    ASSERT_EQ(markers.size(), int(std::size(kChapters))) << file;
    for (int i = 0; i < markers.size(); ++i) {
        EXPECT_NEAR(markers[i].Time, kChapters[i].start, 0.001) << file;
        EXPECT_EQ(markers[i].Description, QString::fromUtf8(kChapters[i].title)) << file;
    }
}

TEST(FileChapters, LibraryReadsEachContainersChapters) {
    for (const char* file : kChapterFixtures) {
        const QByteArray path = QFile::encodeName(TestEnv::fixture(QString::fromLatin1(file)));
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.constData(), 0, 0, BASS_STREAM_DECODE);
        ASSERT_NE(stream, 0u) << file;
        // Asking for fewer than there are copies that many and still counts all.
        BASS_CHAPTER first{-1, nullptr};
        EXPECT_EQ(BASS_ChannelGetChapters(stream, &first, 1), DWORD(std::size(kChapters))) << file;
        EXPECT_NEAR(first.start, 0.0, 0.001) << file;
        EXPECT_STREQ(first.title, "Intro") << file;
        ExpectFixtureChapters(ChapterMarkersOf(stream), file);
        BASS_StreamFree(stream);
    }
}

TEST(FileChapters, FilesWithoutChaptersAndBadCalls) {
    const QByteArray path = QFile::encodeName(TestEnv::fixture(QStringLiteral("tone-stereo-44100.mp3")));
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.constData(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_ChannelGetChapters(stream, nullptr, 0), 0u);
    EXPECT_EQ(BASS_ChannelGetChapters(stream, nullptr, 3), DWORD(-1)) << "no room for the chapters asked for";
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    BASS_StreamFree(stream);
    EXPECT_EQ(BASS_ChannelGetChapters(stream, nullptr, 0), DWORD(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_TRUE(ChapterMarkersOf(stream).isEmpty());
}

TEST(FileChapters, WindowShowsChaptersAsSavedMarkersUnlessAMarkerFileExists) {
    for (const char* file : kChapterFixtures) {
        QTemporaryDir dir;
        const QString audio = dir.filePath(QString::fromLatin1(file));
        ASSERT_TRUE(QFile::copy(TestEnv::fixture(QString::fromLatin1(file)), audio));
        ScriptedPrompts prompts;
        {
            MarkerWindow w;
            w.form().LoadAudioFile(audio);
            ExpectFixtureChapters(w.form().FMarkers, file);
            EXPECT_EQ(w.column(MarkerListModel::ColDescription).value(1), QString::fromUtf8(kChapters[1].title));
            EXPECT_FALSE(w.form().MarkersChanged()) << file;
            // Nothing is written until the user changes something.
            EXPECT_FALSE(QFile::exists(MarkerFileNameFor(audio))) << file;
            // Deleting them all asks before leaving: they would come back otherwise.
            prompts.answer(Prompts::Answer::Ok);
            w.form().miDeleteAllMarkersClick();
            EXPECT_FALSE(w.form().ConfirmSaveMarkers()) << "the unscripted question cancels";
            EXPECT_EQ(prompts.texts().value(1), QStringLiteral("Would You like to Save your Markers?"));
        }
        // A marker file, even an empty one, wins over the chapters.
        writeAll(MarkerFileNameFor(audio), "\xEF\xBB\xBF");
        MarkerWindow w;
        w.form().LoadAudioFile(audio);
        EXPECT_TRUE(w.form().FMarkers.isEmpty()) << file;
    }
}

}  // namespace
