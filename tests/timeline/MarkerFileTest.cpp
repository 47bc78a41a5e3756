#include "platform/AppError.h"
#include "timeline/MarkerFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray bom() { return QByteArray("\xEF\xBB\xBF"); }

TMarkerList parse(const QByteArray& bytes) {
    TMarkerList list;
    ParseMarkerBytes(bytes, list);
    return list;
}

void expectMarkers(const TMarkerList& actual, const TMarkerList& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        EXPECT_DOUBLE_EQ(actual[i].Time, expected[i].Time) << i;
        EXPECT_EQ(actual[i].Description, expected[i].Description) << i;
    }
}

TEST(MarkerFile, NameKeepsTheAudioExtension) {
    EXPECT_EQ(MarkerFileNameFor("/m/song.mp3"), QString("/m/song.mp3.mrk"));
    EXPECT_EQ(MarkerBackupNameFor("/m/song.mp3.mrk"), QString("/m/song.mp3.mrk.bak"));
}

TEST(MarkerFile, ByteImages) {
    struct Case {
        TMarkerList markers;
        QByteArray bytes;
        const char* rule;
    };
    const Case cases[] = {
        {{}, bom(), "an empty list is just the byte-order mark"},
        {{{0.1, "a,b"}, {2.0, ""}}, bom() + "0.100000,a,b\r\n2.000000,\r\n",
         "commas stay in the description, an empty one is allowed"},
        {{{12.3456789, "r"}}, bom() + "12.345679,r\r\n", "six decimals, rounded"},
        {{{3725.25, " Verse 2, second take "}}, bom() + "3725.250000, Verse 2, second take \r\n",
         "no trimming"},
        {{{-0.5, "neg"}, {0.0, "\xC3\xA4"}}, bom() + "-0.500000,neg\r\n0.000000,\xC3\xA4\r\n",
         "sign only when negative, UTF-8"},
    };
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));  // "," as decimal separator must not leak in
    for (const Case& c : cases)
        EXPECT_EQ(MarkerFileBytes(c.markers), c.bytes) << c.rule;
    TMarkerList read;
    ParseMarkerBytes("1.5,x\r\n", read);
    ASSERT_EQ(read.size(), 1);
    EXPECT_DOUBLE_EQ(read[0].Time, 1.5);
    QLocale::setDefault(saved);
}

TEST(MarkerFile, WrittenBytesReadBack) {
    const TMarkerList markers{{0.1, "a,b"}, {2.0, ""}, {3725.25, " Verse 2, second take "}, {-0.5, "neg"}};
    expectMarkers(parse(MarkerFileBytes(markers)), markers);
    expectMarkers(parse(MarkerFileBytes({{12.3456789, "r"}})), {{12.345679, "r"}});
}

TEST(MarkerFile, ReadingTable) {
    struct Case {
        QByteArray bytes;
        TMarkerList expected;
        const char* rule;
        bool exactText = true;
    };
    const Case cases[] = {
        {"5.000000,x\r\n5.000000,y\r\n", {{5.0, "x"}, {5.0, "y"}}, "no BOM, duplicates kept"},
        {bom() + "1,a\n\nno comma\r2,b", {{1.0, "a"}, {2.0, "b"}},
         "LF and CR ends, lines without comma skipped, last line without end"},
        {bom() + "1,a\r\n\r\n2,b\r", {{1.0, "a"}, {2.0, "b"}}, "blank line between CR LF lines"},
        {" 7.5 ,spaced\r\n1e1,exp\r\n", {{7.5, "spaced"}, {10.0, "exp"}},
         "blanks around the number and exponents are accepted"},
        {"", {}, "empty file"},
        {bom() + "1,caf\xC3\xA9\r\n", {{1.0, QString::fromUtf8("caf\xC3\xA9")}}, "UTF-8 text"},
        {"1,caf\xE9\r\n2,b\r\n", {{1.0, QString("caf") + QChar(0xFFFD)}, {2.0, "b"}},
         "text in another encoding is read, but reported as not exact", false},
    };
    for (const Case& c : cases) {
        TMarkerList list;
        EXPECT_EQ(ParseMarkerBytes(c.bytes, list), c.exactText) << c.rule;
        expectMarkers(list, c.expected);
    }
}

TEST(MarkerFile, MalformedTimeStopsWithTheFieldInTheMessage) {
    const std::pair<QByteArray, QString> cases[] = {
        {"1,a\r\n,empty time\r\n3,c\r\n", "'' is not a valid floating point value"},
        {"1,a\r\n1,5,x\r\nabc,d\r\n", "'abc' is not a valid floating point value"},
        {"1,a\r\n1,000.5,x\r\nnan,d\r\n", "'nan' is not a valid floating point value"},
        {"1,a\r\n1 000,x\r\n", "'1 000' is not a valid floating point value"},
    };
    for (const auto& [bytes, message] : cases) {
        TMarkerList list;
        try {
            ParseMarkerBytes(bytes, list);
            ADD_FAILURE() << bytes.constData();
        } catch (const AppError& e) {
            EXPECT_EQ(e.message(), message);
        }
        ASSERT_GE(list.size(), 1) << "markers before the bad line stay";
        EXPECT_EQ(list[0].Description, QString("a"));
    }
}

TEST(MarkerFile, WriteReadRoundTripOnDisk) {
    QTemporaryDir dir;
    const QString path = dir.filePath("song.mp3.mrk");
    const TMarkerList markers{{0.1, "a,b"}, {2.0, ""}, {3600.5, "\xE2\x82\xAC end"}};
    WriteMarkerFile(path, markers);
    EXPECT_EQ(readAll(path), MarkerFileBytes(markers));
    TMarkerList back{{99.0, "to be replaced"}};
    ReadMarkerFile(path, back);
    expectMarkers(back, markers);

    WriteMarkerFile(path, {});
    EXPECT_EQ(readAll(path), bom()) << "an empty list keeps the file, three bytes long";
}

TEST(MarkerFile, UnreadableAndUnwritableFilesReportTheirPath) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("gone.mrk");
    TMarkerList list{{1.0, "kept"}};
    try {
        ReadMarkerFile(missing, list);
        ADD_FAILURE();
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().startsWith("Cannot open file \"" + missing + "\". ")) << e.message().toStdString();
    }
    EXPECT_EQ(list.size(), 1) << "a failed open leaves the list alone";

    const QString inMissingFolder = dir.filePath("no/such/folder/x.mrk");
    try {
        WriteMarkerFile(inMissingFolder, list);
        ADD_FAILURE();
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().startsWith("Cannot create file \"" + inMissingFolder + "\". "))
            << e.message().toStdString();
    }
}

// A full disk in the middle of a save: no file may grow beyond 16 bytes
// (a limit that holds for root too, unlike a read-only folder).
TEST(MarkerFile, FullDiskLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("song.mp3.mrk");
    const QByteArray old = MarkerFileBytes({{1.0, "old"}});
    writeAll(path, old);
    TMarkerList many;
    for (int i = 0; i < 50; ++i)
        many.append(TMarker{i * 0.5, "a marker that makes the file long"});

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &tiny);
    QString message;
    try {
        WriteMarkerFile(path, many);
    } catch (const AppError& e) {
        message = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_TRUE(message.startsWith("Cannot create file \"" + path + "\". ")) << message.toStdString();
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"song.mp3.mrk"})) << "no temporary file left";
}

TEST(MarkerFile, BackupCopiesTheOriginalBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mp3.mrk");
    writeAll(path, "1,a\r\noops,b\r\n");
    writeAll(MarkerBackupNameFor(path), "older backup");
    BackupMarkerFile(path);
    EXPECT_EQ(readAll(MarkerBackupNameFor(path)), QByteArray("1,a\r\noops,b\r\n"));
    EXPECT_EQ(readAll(path), QByteArray("1,a\r\noops,b\r\n"));
}

}  // namespace
