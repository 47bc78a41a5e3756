// Rows, numbers, the current row and the folder rules of the playlist.

#include "playlist/Playlist.h"
#include "playlist/PlaylistPaths.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QTemporaryDir>

namespace {

QStringList numbers(const PlaylistModel& model) {
    QStringList result;
    for (int i = 0; i < model.count(); ++i)
        result << model.at(i).numberText();
    return result;
}

QStringList names(const PlaylistModel& model) {
    QStringList result;
    for (int i = 0; i < model.count(); ++i)
        result << model.at(i).name();
    return result;
}

void fill(Playlist& list, const QStringList& files) {
    for (const QString& f : files)
        list.addFile(f);
}

}  // namespace

TEST(PlaylistModel, AddedRowShowsNumberNameLocationAndSetsAddFolder) {
    Playlist list;
    QAbstractItemModelTester tester(&list.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.addFile("/music/a.mp3");
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.model().data(list.model().index(0, PlaylistModel::Number)).toString(), "0");
    EXPECT_EQ(list.model().data(list.model().index(0, PlaylistModel::Name)).toString(), "a.mp3");
    EXPECT_EQ(list.model().data(list.model().index(0, PlaylistModel::Location)).toString(), "/music/a.mp3");
    EXPECT_EQ(list.lastAddDir(), "/music");
    // No test of any kind: a bare name, an empty path and a duplicate are rows.
    list.addFile("b.txt");
    list.addFile("");
    list.addFile("/music/a.mp3");
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.lastAddDir(), "/music");
    EXPECT_EQ(names(list.model()), QStringList({"a.mp3", "b.txt", "", "a.mp3"}));
}

TEST(PlaylistModel, RemovalKeepsNumbersAndLaterAdditionsRepeatThem) {
    Playlist list;
    fill(list, {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    list.removeRow(0);
    EXPECT_EQ(numbers(list.model()), QStringList({"1", "2"}));
    list.addFile("/m/d.mp3");
    EXPECT_EQ(numbers(list.model()), QStringList({"1", "2", "2"}));
}

TEST(PlaylistModel, DragReorderMovesRowAndRenumbers) {
    struct Case {
        int source;
        int target;  // the row under the drop point, or the row count for empty space
        QStringList expected;
        int landed;
    };
    const Case table[] = {
        {0, 2, {"B", "C", "A", "D"}, 2},   // onto a row below: lands just after it
        {3, 1, {"A", "D", "B", "C"}, 1},   // onto a row above: lands just before it
        {1, 4, {"A", "C", "D", "B"}, 3},   // onto empty space: goes to the end
        {2, 2, {"A", "B", "C", "D"}, 2},   // onto itself: stays
    };
    for (const Case& c : table) {
        Playlist fresh;
    fill(fresh, {"X", "A", "B", "C", "D"});
        fresh.removeRow(0);  // numbers 1..4 first: the move renumbers them all
        fresh.setCurrentIndex(1);
        QAbstractItemModelTester tester(&fresh.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        EXPECT_EQ(fresh.moveRow(c.source, c.target), c.landed);
        EXPECT_EQ(fresh.model().locations(), c.expected) << c.source << "->" << c.target;
        EXPECT_EQ(numbers(fresh.model()), QStringList({"0", "1", "2", "3"}));
        EXPECT_EQ(fresh.currentIndex(), 1) << "a reorder leaves the current position";
    }
}

TEST(PlaylistModel, CurrentRowAfterRemoval) {
    struct Case {
        int rows;
        int current;
        int removed;
        int expected;
    };
    const Case table[] = {
        {3, 2, 0, 1},    // the last row was current: pulled back onto the list
        {3, 2, 2, 1},
        {3, 1, 2, 1},    // a smaller value stays
        {3, 0, 1, 0},
        {3, -1, 1, -1},  // nothing current stays so
        {1, 0, 0, -1},   // emptied
    };
    for (const Case& c : table) {
        Playlist list;
        for (int i = 0; i < c.rows; ++i)
            list.addFile(QString("/m/%1.mp3").arg(i));
        list.setCurrentIndex(c.current);
        list.removeRow(c.removed);
        EXPECT_EQ(list.currentIndex(), c.expected)
            << c.rows << " rows, current " << c.current << ", removed " << c.removed;
    }
}

TEST(PlaylistModel, NextAndPreviousStepWithoutWrap) {
    struct Case {
        int rows;
        int current;
        int next;  // the row PlayNext plays, -1 for nothing
        int prev;  // the row PlayPrev plays, -1 for nothing
    };
    const Case table[] = {
        {3, -1, 0, -1},
        {3, 0, 1, -1},
        {3, 1, 2, 0},
        {3, 2, -1, 1},
        {0, -1, -1, -1},
    };
    for (const Case& c : table) {
        Playlist list;
        for (int i = 0; i < c.rows; ++i)
            list.addFile(QString("/m/%1.mp3").arg(i));
        list.setCurrentIndex(c.current);
        EXPECT_EQ(list.stepNext(), c.next) << "next from " << c.current;
        EXPECT_EQ(list.currentIndex(), c.next == -1 ? c.current : c.next);
        list.setCurrentIndex(c.current);
        EXPECT_EQ(list.stepPrev(), c.prev) << "prev from " << c.current;
        EXPECT_EQ(list.currentIndex(), c.prev == -1 ? c.current : c.prev);
    }
}

TEST(PlaylistModel, RemovalThenNextFromNothingPlaysFirstRow) {
    Playlist list;
    fill(list, {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    list.removeRow(1);
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(list.stepNext(), 0);
}

TEST(PlaylistModel, ClearForgetsCurrentRowButKeepsListFile) {
    Playlist list;
    fill(list, {"/m/a.mp3", "/m/b.mp3"});
    list.setCurrentIndex(1);
    const QString file = list.listFilename();
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(list.listFilename(), file);
}

TEST(PlaylistPaths, DefaultsAndFolderWriters) {
    const QString documents = GetDocumentsFolder();
    ASSERT_FALSE(documents.isEmpty());
    EXPECT_TRUE(documents.endsWith('/'));
    EXPECT_EQ(DefaultListName, "NeuList");

    Playlist list;
    EXPECT_EQ(list.listFilename(), documents + "NeuList");
    EXPECT_EQ(list.lastAddDir(), documents + "NeuList");
    EXPECT_EQ(list.currentIndex(), -1);

    QTemporaryDir dir;
    struct Case {
        QString given;
        QString expected;
    };
    const Case table[] = {
        {dir.path(), dir.path()},
        {dir.path() + "/missing", documents + "NeuList"},
        {"", documents + "NeuList"},
    };
    for (const Case& c : table) {
        list.setLastAddDir(c.given);
        EXPECT_EQ(list.lastAddDir(), c.expected) << c.given.toStdString();
        list.setLastSaveDir(c.given);
        EXPECT_EQ(list.lastSaveDir(), c.expected) << c.given.toStdString();
        list.setLastOpenDir(c.given);
        EXPECT_EQ(list.lastOpenDir(), c.given) << "kept unchanged";
    }
}

TEST(PlaylistPaths, AcceptedExtensions) {
    struct Case {
        QString path;
        bool accepted;
    };
    const Case table[] = {
        {"/m/x.MP3", true}, {"/m/a.wma", true}, {"/m/a.Ogg", true}, {"/m/a.wav", true},
        {"/m/a.mp4", true}, {"/m/y.flac", false}, {"/m/a.m4a", false}, {"/m/z.txt", false},
        {"/m/mp3", false},  {"/m.mp3/readme", false}, {"/m/a.mp3.bak", false},
    };
    for (const Case& c : table)
        EXPECT_EQ(HasAcceptedExtension(c.path, PlaylistExtensions()), c.accepted) << c.path.toStdString();
}

TEST(PlaylistPaths, FileAndFolderParts) {
    EXPECT_EQ(ExtractFileName("/music/a.mp3"), "a.mp3");
    EXPECT_EQ(ExtractFileName("a.mp3"), "a.mp3");
    EXPECT_EQ(ExtractFileDir("/music/a.mp3"), "/music");
    EXPECT_EQ(ExtractFileDir("/a.mp3"), "/");
    EXPECT_EQ(ExtractFileDir("a.mp3"), "");
    EXPECT_EQ(ExtractFilePath("/music/list.vpl"), "/music/");
    EXPECT_EQ(ExtractFilePath("NeuList"), "");
}
