#include "platform/FileHelpers.h"
#include "playlist/QrtDialogs.h"

#include "platform/AppError.h"

#include "RecordingShell.h"
#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

// root/
//   a.mp3  .hidden.mp3  README
//   sub1/ b.ogg  deeper/ c.wav  back -> root (a cycle)
//   .secret/ d.mp3
//   sub2/ e.MP3
//   empty/
struct Tree {
    QTemporaryDir dir;
    QString root;
    Tree() : root(dir.path()) {
        for (const char* f : {"a.mp3", ".hidden.mp3", "README", "sub1/b.ogg", "sub1/deeper/c.wav",
                              ".secret/d.mp3", "sub2/e.MP3"})
            touch(root + "/" + f);
        QDir().mkpath(root + "/empty");
        QFile::link(root, root + "/sub1/back");
    }
    QString p(const char* rel) const { return root + "/" + rel; }
};

}  // namespace

TEST(FindFiles, TopFilesFirstThenEachSubfolderDepthFirst) {
    Tree t;
    QStringList list{"stale entry"};
    ASSERT_TRUE(FindFiles(t.root, "*.*", list, true));

    QStringList sorted = list;
    sorted.sort();
    QStringList expected{t.p(".hidden.mp3"), t.p("README"), t.p("a.mp3"), t.p("sub1/b.ogg"),
                         t.p("sub1/deeper/c.wav"), t.p("sub2/e.MP3")};
    expected.sort();
    EXPECT_EQ(sorted, expected) << "hidden file collected, hidden folder skipped, the cycle walked once";

    auto at = [&](const char* rel) { return list.indexOf(t.p(rel)); };
    for (const char* top : {"a.mp3", ".hidden.mp3", "README"})
        for (const char* below : {"sub1/b.ogg", "sub1/deeper/c.wav", "sub2/e.MP3"})
            EXPECT_LT(at(top), at(below)) << top << " before " << below;
    EXPECT_EQ(at("sub1/deeper/c.wav"), at("sub1/b.ogg") + 1) << "a subfolder's files, then what is below it";
}

TEST(FindFiles, NamesComeInNaturalOrderWithinEachFolder) {
    QTemporaryDir dir;
    const QString root = dir.path();
    // Created out of order so the file system's own order is unlikely to match.
    for (const char* f : {"10 Finale.mp3", "B/2.ogg", "02 Theme.mp3", "a/x.mp3", "1 Intro.mp3"})
        touch(root + "/" + f);
    QStringList list;
    ASSERT_TRUE(FindFiles(root, "*.*", list, true));
    const QStringList expected{root + "/1 Intro.mp3", root + "/02 Theme.mp3", root + "/10 Finale.mp3",
                               root + "/a/x.mp3",     root + "/B/2.ogg"};
    EXPECT_EQ(list, expected);
}

TEST(FindFiles, NonRecursiveTakesOnlyTheTopFolder) {
    Tree t;
    QStringList list;
    EXPECT_TRUE(FindFiles(t.root, "*.*", list, false));
    EXPECT_EQ(list.size(), 3);

    QTemporaryDir onlyFolders;
    QDir().mkpath(onlyFolders.path() + "/x");
    touch(onlyFolders.path() + "/x/y.mp3");
    EXPECT_FALSE(FindFiles(onlyFolders.path(), "*.*", list, false));
    EXPECT_TRUE(list.isEmpty());
}

TEST(FindFiles, PatternIgnoresLetterCase) {
    Tree t;
    QStringList list;
    EXPECT_TRUE(FindFiles(t.root, "*.mp3", list, true));
    list.sort();
    EXPECT_EQ(list, QStringList({t.p(".hidden.mp3"), t.p("a.mp3"), t.p("sub2/e.MP3")}));
    EXPECT_FALSE(FindFiles(t.root + "/empty", "*.*", list, true));
}

TEST(FindFiles, RootGetsNoDoubleSlashAndRelativeFoldersBecomeAbsolute) {
    Tree t;
    QStringList list;
    ASSERT_TRUE(FindFiles(t.root + "/sub2/", "*", list, false));
    EXPECT_EQ(list, QStringList{t.p("sub2/e.MP3")});
    const QString saved = QDir::currentPath();
    QDir::setCurrent(t.root);
    FindFiles("sub2", "*", list, false);
    QDir::setCurrent(saved);
    EXPECT_EQ(list, QStringList{t.p("sub2/e.MP3")});
}

TEST(FindFiles, AMissingFolderRaises) {
    QTemporaryDir missingParent;
    QStringList list;
    EXPECT_THROW(FindFiles(missingParent.path() + "/nope", "*.*", list, true), AppError);
}

TEST(FindFiles, AnUnreadableSubfolderRaises) {
    QStringList list;
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    Tree t;
    ASSERT_TRUE(QFile::setPermissions(t.p("sub2"), QFileDevice::Permissions()));
    try {
        FindFiles(t.root, "*.*", list, true);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(t.p("sub2"))) << e.message().toStdString();
    }
    QFile::setPermissions(t.p("sub2"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(FindFiles, TickRunsDuringTheWalkAndCanStopIt) {
    Tree t;
    QStringList list;
    int ticks = 0;
    FindFiles(t.root, "*.*", list, true, [&] { return ++ticks > 0; });
    EXPECT_GE(ticks, 5);

    ticks = 0;
    FindFiles(t.root, "*.*", list, true, [&] { return ++ticks < 1; });
    EXPECT_EQ(list.size(), 3) << "stopped before the first subfolder";
}

TEST(ShellHelpers, OpenUrlSchemeRule) {
    RecordingShell rec;
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"example.org", "http://example.org"},
        {"HTTP://EXAMPLE.ORG/A", "HTTP://EXAMPLE.ORG/A"},
        {"https://x.y", "https://x.y"},
        {"HtTpS://x.y", "HtTpS://x.y"},
        {"ftp://files.x", "ftp://files.x"},
        {"mailto:a@b.c", "http://mailto:a@b.c"},
        {"http:/broken", "http://http:/broken"},
        {"", "http://"},
    };
    for (const auto& r : rows)
        OpenUrl(r.in);
    ASSERT_EQ(rec.urls.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rec.urls[i], QString(rows[i].out)) << rows[i].in;
}

TEST(ShellHelpers, ExploreFolderHandsThePathOverUnchanged) {
    RecordingShell rec;
    ExploreFolder("/no/such folder/");
    EXPECT_EQ(rec.folders, QStringList{"/no/such folder/"});
}

TEST(ShellHelpers, AddTrailingBackslashTable) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {{"/home/me/Music", "/home/me/Music/"}, {"/", "/"}, {"/a/", "/a/"}, {"", "/"}, {"a\\", "a\\/"}};
    for (const auto& r : rows)
        EXPECT_EQ(AddTrailingBackslash(r.in), QString(r.out)) << r.in;
}

TEST(ShellHelpers, IsBlankTable) {
    const struct {
        QString in;
        bool blank;
    } rows[] = {{"", true}, {"   ", true}, {" ", true}, {"\t", false}, {" x ", false},
                {QString(QChar(0x00A0)), false}, {" \n", false}};
    for (const auto& r : rows)
        EXPECT_EQ(IsBlank(r.in), r.blank) << r.in.toStdString();
}

TEST(ShellHelpers, PickFolderAsksThroughPromptsAndGivesEmptyOnCancel) {
    ScriptedPrompts p;
    p.answerFolder("/home/me/Music");
    EXPECT_EQ(PickFolder("Select Folder For Audio Files Search", "/start"), "/home/me/Music");
    EXPECT_EQ(PickFolder("again", "/start"), QString());
    EXPECT_EQ(p.folderDialogs, QStringList({"Select Folder For Audio Files Search|/start", "again|/start"}));
}
