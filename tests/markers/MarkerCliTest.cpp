// The marker commands of the real program: output, the marker file they
// write, and a non-zero status with a message for every failure.

#include "TestEnv.h"
#include "TestFiles.h"
#include "timeline/MarkerFile.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QString err;
};

Outcome RunPlayer(const QStringList& arguments, const QString& stdoutFile = QString()) {
    QProcess process;
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(TestEnv::playerBinary(), arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << "the command did not end";
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromLocal8Bit(process.readAllStandardError())};
}

class MarkerCli : public ::testing::Test {
protected:
    void SetUp() override {
        audio = dir.filePath(QStringLiteral("chapters.mp3"));
        ASSERT_TRUE(QFile::copy(TestEnv::fixture(QStringLiteral("chapters.mp3")), audio));
    }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        writeAll(path, bytes);
        return path;
    }
    QTemporaryDir dir;
    QString audio;
};

TEST_F(MarkerCli, ExportsTheChaptersWhenThereIsNoMarkerFile) {
    const Outcome cue = RunPlayer({"--export-markers", "cue", audio});
    EXPECT_EQ(cue.status, 0) << cue.err.toStdString();
    EXPECT_TRUE(cue.err.isEmpty());
    // 0.4 s is 30 frames, 0.75 s is 56.25 frames.
    EXPECT_EQ(QString::fromUtf8(cue.out),
              QStringLiteral("FILE \"chapters.mp3\" MP3\n"
                             "  TRACK 01 AUDIO\n    TITLE \"Intro\"\n    INDEX 01 00:00:00\n"
                             "  TRACK 02 AUDIO\n    TITLE \"Verse über Brücken\"\n    INDEX 01 00:00:30\n"
                             "  TRACK 03 AUDIO\n    TITLE \"Outro, with a comma\"\n    INDEX 01 00:00:56\n"));
    // The last chapter ends with the file (1 s).
    const Outcome ff = RunPlayer({"--export-markers", "ffmetadata", audio});
    EXPECT_EQ(ff.status, 0);
    EXPECT_TRUE(ff.out.endsWith("START=750\nEND=1000\ntitle=Outro, with a comma\n")) << ff.out.toStdString();
    EXPECT_FALSE(QFile::exists(MarkerFileNameFor(audio))) << "exporting writes nothing beside the file";
}

TEST_F(MarkerCli, ExportsTheMarkerFileWhenThereIsOne) {
    WriteMarkerFile(MarkerFileNameFor(audio), {{0.5, QStringLiteral("mine")}, {0.25, QStringLiteral("first")}});
    const Outcome out = RunPlayer({"--export-markers", "audacity", audio});
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.out, QByteArray("0.250000\t0.250000\tfirst\n0.500000\t0.500000\tmine\n"));
}

TEST_F(MarkerCli, ImportMergesIntoTheMarkerFile) {
    // Without a marker file the chapters are the markers it merges with.
    const QString labels = write(QStringLiteral("labels.txt"), "0.000050\t0.000050\tOn the intro\n0.9\t0.9\tEnd\n");
    const Outcome first = RunPlayer({"--import-markers", labels, audio});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.startsWith("1 marker(s) added")) << first.out.toStdString();
    EXPECT_EQ(readAll(MarkerFileNameFor(audio)),
              QStringLiteral("\xFEFF" "0.000000,Intro\r\n0.400000,Verse über Brücken\r\n"
                             "0.750000,Outro, with a comma\r\n0.900000,End\r\n").toUtf8());

    const QString stamps = write(QStringLiteral("stamps.txt"), "00:00 Again\n1:00:00 Late\n");
    const Outcome second = RunPlayer({"--import-markers", stamps, audio});
    EXPECT_EQ(second.status, 0);
    EXPECT_TRUE(readAll(MarkerFileNameFor(audio)).endsWith("0.900000,End\r\n3600.000000,Late\r\n"));
}

TEST_F(MarkerCli, EveryFailureExitsNonZeroWithAMessageAndChangesNothing) {
    const QByteArray marks = "\xEF\xBB\xBF" "0.100000,kept\r\n";
    WriteMarkerFile(MarkerFileNameFor(audio), {{0.1, QStringLiteral("kept")}});
    const QString bad = write(QStringLiteral("bad.txt"), "00:00 Intro\nnot a time\n");
    const QString text = write(QStringLiteral("notes.txt"), "");
    struct Case {
        QStringList arguments;
        int status;
        QString message;
    };
    const Case cases[] = {
        {{"--export-markers", "wav", audio}, 2, "Unknown marker format \"wav\""},
        {{"--export-markers", "cue"}, 2, "--export-markers needs two arguments. Usage:"},
        {{"--import-markers", bad, audio, "extra"}, 2, "--import-markers needs two arguments. Usage:"},
        {{"--export-markers", "cue", dir.filePath("missing.mp3")}, 1, "Cannot open audio file"},
        {{"--export-markers", "cue", text}, 1, "Cannot open audio file \"" + text + "\" (not a readable audio file)"},
        {{"--import-markers", bad, audio}, 1, bad + ", line 2: 'not a time' does not start with a time"},
        {{"--import-markers", dir.filePath("none.cue"), audio}, 1, "Cannot open file"},
        {{"--import-markers", text, audio}, 1, text + ": the file is empty"},
        {{"--import-markers", write("ok.txt", "00:05 x\n"), dir.filePath("missing.mp3")}, 1, "Cannot open audio file"},
    };
    for (const Case& c : cases) {
        const Outcome out = RunPlayer(c.arguments);
        EXPECT_EQ(out.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(out.err.startsWith(QStringLiteral("velmoplayer: ") + c.message))
            << c.arguments.join(' ').toStdString() << " -> " << out.err.toStdString();
        EXPECT_EQ(readAll(MarkerFileNameFor(audio)), marks);
    }
    EXPECT_FALSE(QFile::exists(MarkerFileNameFor(dir.filePath("missing.mp3"))));
}

TEST_F(MarkerCli, AnOutputThatCannotBeWrittenIsAFailure) {
    const Outcome out = RunPlayer({"--export-markers", "timestamps", audio}, QStringLiteral("/dev/full"));
    EXPECT_EQ(out.status, 1);
    EXPECT_EQ(out.err, QStringLiteral("velmoplayer: Cannot write to standard output.\n"));
}

TEST_F(MarkerCli, AMarkerFileThatDoesNotParseIsLeftAlone) {
    const QByteArray damaged = "0.5,ok\r\nx,broken\r\n";
    writeAll(MarkerFileNameFor(audio), damaged);
    const Outcome out = RunPlayer({"--import-markers", write("ok.txt", "00:05 x\n"), audio});
    EXPECT_EQ(out.status, 1);
    EXPECT_TRUE(out.err.contains(QStringLiteral("'x' is not a valid floating point value"))) << out.err.toStdString();
    EXPECT_EQ(readAll(MarkerFileNameFor(audio)), damaged);
}

}  // namespace
