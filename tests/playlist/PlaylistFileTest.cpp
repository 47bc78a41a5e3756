// The playlist file: decoding, line ends, writing, and load/save of the list.

#include "platform/AppError.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QByteArray utf16(const QString& text, bool littleEndian) {
    QByteArray bytes;
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        bytes.append(littleEndian ? lo : hi).append(littleEndian ? hi : lo);
    }
    return bytes;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

TEST(PlaylistFile, DecodesEncodingsAndLineEnds) {
    const QString umlaut = QString::fromUtf8("/m/Ä ö €.mp3");
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList lines;
    };
    const Case table[] = {
        {"empty file", "", {}},
        {"CR LF with empty middle line", "a.mp3\r\n\r\nb.mp3\r\n", {"a.mp3", "", "b.mp3"}},
        {"last line without end", "a.mp3\r\nb.mp3", {"a.mp3", "b.mp3"}},
        {"lone CR and lone LF", "a\rb\nc\r\n", {"a", "b", "c"}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"one line end only", "\r\n", {""}},
        {"UTF-8 without BOM", umlaut.toUtf8() + "\r\n", {umlaut}},
        {"UTF-8 BOM", "\xEF\xBB\xBF" + umlaut.toUtf8() + "\r\n", {umlaut}},
        {"UTF-16 LE BOM", QByteArray("\xFF\xFE") + utf16(umlaut + "\r\nb\n", true), {umlaut, "b"}},
        {"UTF-16 BE BOM", QByteArray("\xFE\xFF") + utf16(umlaut + "\r\nb\n", false), {umlaut, "b"}},
        {"Windows-1252 without BOM", "/m/\xC4 \xF6 \x80.mp3\r\n", {umlaut}},
        {"1252 quotes and dash", "\x93x\x94 \x96\r\n", {QString::fromUtf8("“x” –")}},
    };
    for (const Case& c : table)
        EXPECT_EQ(DecodePlaylist(c.bytes), c.lines) << c.what;
}

TEST(PlaylistFile, WritesUtf8WithCrLfAfterEveryLine) {
    const QStringList lines{QString::fromUtf8("/m/Ä.mp3"), "", "/m/b.mp3"};
    EXPECT_EQ(EncodePlaylist(lines), QByteArray("/m/\xC3\x84.mp3\r\n\r\n/m/b.mp3\r\n"));
    EXPECT_EQ(DecodePlaylist(EncodePlaylist(lines)), lines);
    // A name that no 8-bit code page holds survives the round trip.
    const QStringList wide{QString::fromUtf8("/m/日本 🎵.mp3")};
    EXPECT_EQ(DecodePlaylist(EncodePlaylist(wide)), wide);
}

TEST(PlaylistFile, LoadReplacesRowsAndNamesTheListFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("three.vpl");
    writeBytes(path, "/m/a.mp3\r\n\r\n/m/b.mp3\r\n");

    Playlist list;
    list.addFile("/old/x.mp3");
    list.setCurrentIndex(0);
    EXPECT_TRUE(list.takeLines(ReadPlaylistFile(path), path));
    EXPECT_EQ(list.model().locations(), QStringList({"/m/a.mp3", "", "/m/b.mp3"}));
    EXPECT_EQ(list.model().at(1).name(), "");
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(list.listFilename(), path);
    EXPECT_EQ(list.lastAddDir(), "/m") << "every added row sets the add folder";
}

TEST(PlaylistFile, ZeroByteFileEmptiesListButKeepsListFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.vpl");
    writeBytes(path, "");
    Playlist list;
    list.addFile("/m/a.mp3");
    list.setCurrentIndex(0);
    const QString before = list.listFilename();
    EXPECT_FALSE(list.takeLines(ReadPlaylistFile(path), path));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(list.listFilename(), before);
}

TEST(PlaylistFile, SaveWritesRowsAndRemembersFolder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.vpl");
    Playlist list;
    list.addFile("/m/a.mp3");
    list.addFile("/m/b.mp3");
    list.save(path);
    EXPECT_EQ(readBytes(path), QByteArray("/m/a.mp3\r\n/m/b.mp3\r\n"));
    EXPECT_EQ(list.listFilename(), path);
    EXPECT_EQ(list.lastSaveDir(), dir.path() + "/");
}

TEST(PlaylistFile, EmptyListIsNotSaved) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.vpl");
    writeBytes(path, "/m/old.mp3\r\n");
    Playlist list;
    const QString before = list.listFilename();
    list.save(path);
    EXPECT_EQ(readBytes(path), QByteArray("/m/old.mp3\r\n"));
    EXPECT_EQ(list.listFilename(), before);
}

TEST(PlaylistFile, DefaultListIsSavedWhenTheDocumentsFolderIsMissing) {
    // A new account may have no Documents folder: the list kept at exit goes
    // there all the same instead of being lost.
    const QString documents = QDir::cleanPath(GetDocumentsFolder());
    const QString away = documents + ".away";
    const bool existed = QFileInfo(documents).isDir();
    if (existed) {
        ASSERT_TRUE(QDir().rename(documents, away));
    }
    Playlist list;
    list.addFile("/m/a.mp3");
    list.save(list.listFilename());
    EXPECT_EQ(readBytes(documents + "/NeuList"), QByteArray("/m/a.mp3\r\n"));
    QDir(documents).removeRecursively();
    if (existed)
        QDir().rename(away, documents);
}

TEST(PlaylistFile, FailedSaveReportsAndKeepsOldFileAndName) {
    QTemporaryDir dir;
    Playlist list;
    list.addFile("/m/a.mp3");
    const QString before = list.listFilename();
    const QString missingFolder = dir.filePath("no/such/folder/list.vpl");
    EXPECT_THROW(list.save(missingFolder), AppError);
    EXPECT_EQ(list.listFilename(), before);
    EXPECT_THROW(ReadPlaylistFile(dir.filePath("missing.vpl")), AppError);
}
