// Exported markers read by the programs the formats are for: FFmpeg writes
// our chapter metadata into a copy of an audio file and ffprobe reads the
// chapters back; cuetools parses the CUE sheet; Python's json module reads
// the podcast chapters against the published field names.

#include "TestEnv.h"
#include "TestFiles.h"
#include "timeline/AudioFileMarkers.h"
#include "timeline/MarkerExchange.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Runs a program to its end; its standard output, after checking it succeeded.
QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput();
}

const TMarkerList kMarkers{
    {0.0, QStringLiteral("Intro")},
    {0.25, QStringLiteral("Über = ; # \\ \"quoted\"")},
    {0.6124, QStringLiteral("Outro, with a comma")},
};

TEST(MarkerReaders, FfmpegWritesOurChaptersAndFfprobeReadsThemBack) {
    struct Case {
        const char* fixture;
        const char* copy;  // the container the chapters go into
    };
    const Case cases[] = {
        {"tone-stereo-44100.mp3", "b.mp3"},   // ID3v2 CHAP frames
        {"tone-stereo-44100.m4a", "b.m4a"},   // MP4 chapters
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString chapters = dir.filePath(QStringLiteral("chapters.txt"));
        const QString copy = dir.filePath(QString::fromLatin1(c.copy));
        writeAll(chapters, ExportMarkers(MarkerFormat::FfMetadata, kMarkers, {QString(), 1.0}));
        RunTool(QStringLiteral("ffmpeg"), {"-hide_banner", "-loglevel", "error", "-i",
                                       TestEnv::fixture(QString::fromLatin1(c.fixture)), "-i", chapters,
                                       "-map_metadata", "1", "-map_chapters", "1", "-c", "copy", copy});
        const QJsonArray probed =
            QJsonDocument::fromJson(RunTool(QStringLiteral("ffprobe"), {"-v", "error", "-show_chapters", "-of", "json", copy}))
                .object()
                .value(QStringLiteral("chapters"))
                .toArray();
        ASSERT_EQ(probed.size(), kMarkers.size()) << c.copy;
        for (int i = 0; i < kMarkers.size(); ++i) {
            const QJsonObject chapter = probed[i].toObject();
            EXPECT_NEAR(chapter.value(QStringLiteral("start_time")).toString().toDouble(), kMarkers[i].Time, 0.0005)
                << c.copy;
            EXPECT_EQ(chapter.value(QStringLiteral("tags")).toObject().value(QStringLiteral("title")).toString(),
                      kMarkers[i].Description)
                << c.copy;
        }
        // And the player reads the same chapters from the copy as its markers.
        const AudioFileMarkers read = ReadAudioFileMarkers(copy);
        ASSERT_EQ(read.markers.size(), kMarkers.size()) << c.copy;
        for (int i = 0; i < kMarkers.size(); ++i) {
            EXPECT_NEAR(read.markers[i].Time, kMarkers[i].Time, 0.0005) << c.copy;
            EXPECT_EQ(read.markers[i].Description, kMarkers[i].Description) << c.copy;
        }
    }
}

TEST(MarkerReaders, CuetoolsParseTheSheet) {
    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("disc.cue"));
    const TMarkerList markers{
        {0.0, QStringLiteral("Intro")},
        {1.5066, QStringLiteral("Zwei \"zwei\"")},  // 113 frames: 0:01.38
        {6062.99, QStringLiteral("Late")},         // 101 min 2 s 74 frames
    };
    writeAll(sheet, ExportMarkers(MarkerFormat::Cue, markers, {QStringLiteral("/x/song.flac"), 7000}));
    EXPECT_EQ(RunTool(QStringLiteral("cuebreakpoints"), {sheet}), QByteArray("0:01.38\n101:02.74\n"));
    EXPECT_EQ(QString::fromUtf8(RunTool(QStringLiteral("cueprint"), {"-d", "", "-t", "%n|%t\\n", sheet})),
              QStringLiteral("1|Intro\n2|Zwei 'zwei'\n3|Late\n"));
}

TEST(MarkerReaders, PythonJsonFindsThePublishedFields) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("chapters.json"));
    writeAll(file, ExportMarkers(MarkerFormat::PodcastJson, kMarkers, {}));
    // Only the fields the podcast chapters format names, with their types.
    const QString check = QStringLiteral(
        "import json, sys\n"
        "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
        "assert set(d) <= {'version', 'chapters', 'author', 'title', 'podcastName', 'description',"
        " 'fileName', 'waypoints'}, d\n"
        "assert isinstance(d['version'], str)\n"
        "allowed = {'startTime', 'endTime', 'title', 'img', 'url', 'toc', 'location'}\n"
        "for c in d['chapters']:\n"
        "    assert set(c) <= allowed, c\n"
        "    assert isinstance(c['startTime'], (int, float)) and not isinstance(c['startTime'], bool)\n"
        "    assert isinstance(c.get('title', ''), str)\n"
        "    print('%.4f|%s' % (c['startTime'], c.get('title', '')))\n");
    EXPECT_EQ(QString::fromUtf8(RunTool(QStringLiteral("python3"), {"-c", check, file})),
              QStringLiteral("0.0000|Intro\n0.2500|Über = ; # \\ \"quoted\"\n0.6120|Outro, with a comma\n"));
}

}  // namespace
