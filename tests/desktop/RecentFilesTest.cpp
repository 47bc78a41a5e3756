// The desktop's recently-used list: our entries are added once and refreshed,
// everything other applications wrote survives, a list we cannot read is left
// alone.

#include "desktop/RecentFiles.h"
#include "desktop/RecentFilesWriter.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>

#include <map>

namespace {

// An entry of another application, as GTK writes it, with parts we never touch.
const char* const ForeignList = R"(<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0"
      xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info"
>
  <bookmark href="file:///home/other/notes%20%26%20plans.txt" added="2025-01-02T03:04:05.000006Z" modified="2025-01-02T03:04:05.000006Z" visited="2025-01-02T03:04:05.000006Z">
    <title>Notes &amp; plans</title>
    <info>
      <metadata owner="http://freedesktop.org">
        <mime:mime-type type="text/plain"/>
        <bookmark:groups>
          <bookmark:group>gedit</bookmark:group>
        </bookmark:groups>
        <bookmark:applications>
          <bookmark:application name="gedit" exec="&apos;gedit %u&apos;" modified="2025-01-02T03:04:05.000006Z" count="7"/>
        </bookmark:applications>
      </metadata>
    </info>
  </bookmark>
</xbel>
)";

// What a reader of the list sees of one bookmark.
struct Entry {
    int occurrences = 0;
    QString title, mimeType, added, modified;
    std::map<QString, QString> appCount;  // application name -> count
    std::map<QString, QString> appExec;
    QStringList groups;
};

// Reads the list the way a desktop does, with namespaces resolved, keyed by
// the bookmark's address.
std::map<QString, Entry> readList(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    const QString bookmarkNs = "http://www.freedesktop.org/standards/desktop-bookmarks";
    std::map<QString, Entry> entries;
    Entry* current = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        const auto a = xml.attributes();
        if (name == u"bookmark" && xml.namespaceUri().isEmpty()) {
            current = &entries[a.value("href").toString()];
            current->occurrences++;
            current->added = a.value("added").toString();
            current->modified = a.value("modified").toString();
        } else if (current && name == u"title") {
            current->title = xml.readElementText();
        } else if (current && name == u"mime-type") {
            current->mimeType = a.value("type").toString();
        } else if (current && name == u"group" && xml.namespaceUri() == bookmarkNs) {
            current->groups << xml.readElementText();
        } else if (current && name == u"application" && xml.namespaceUri() == bookmarkNs) {
            current->appCount[a.value("name").toString()] = a.value("count").toString();
            current->appExec[a.value("name").toString()] = a.value("exec").toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

QString touch(const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    return path;
}

QString href(const QString& path) { return QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()); }

const QDateTime First = QDateTime::fromString("2026-03-01T10:00:00.000Z", Qt::ISODateWithMs);
const QDateTime Later = QDateTime::fromString("2026-03-01T11:30:00.250Z", Qt::ISODateWithMs);

}  // namespace

TEST(RecentFiles, DefaultsToTheXdgDataFolder) {
    EXPECT_EQ(RecentFiles::defaultPath(), qEnvironmentVariable("XDG_DATA_HOME") + "/recently-used.xbel");
}

TEST(RecentFiles, KeepsForeignEntriesAndListsEachFileOnce) {
    QTemporaryDir music;
    const QString a = touch(QDir(music.path()), "Sängerin – Lied 1.mp3");
    const QString b = touch(QDir(music.path()), "b.flac");
    const RecentFiles list(music.filePath("data/recently-used.xbel"));
    QDir().mkpath(music.filePath("data"));
    {
        QFile f(list.path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ForeignList);
    }

    ASSERT_TRUE(list.add(a, First));
    ASSERT_TRUE(list.add(b, First));
    ASSERT_TRUE(list.add(a, Later));

    const auto entries = readList(list.path());
    ASSERT_EQ(entries.size(), 3u);

    const Entry& foreign = entries.at("file:///home/other/notes%20%26%20plans.txt");
    EXPECT_EQ(foreign.occurrences, 1);
    EXPECT_EQ(foreign.title, "Notes & plans");
    EXPECT_EQ(foreign.mimeType, "text/plain");
    EXPECT_EQ(foreign.groups, QStringList{"gedit"});
    EXPECT_EQ(foreign.modified, "2025-01-02T03:04:05.000006Z");
    EXPECT_EQ(foreign.appCount, (std::map<QString, QString>{{"gedit", "7"}}));
    EXPECT_EQ(foreign.appExec.at("gedit"), "'gedit %u'");

    const Entry& first = entries.at(href(a));
    EXPECT_EQ(first.occurrences, 1);
    EXPECT_EQ(first.mimeType, "audio/mpeg");
    EXPECT_EQ(first.added, "2026-03-01T10:00:00.000Z");
    EXPECT_EQ(first.modified, "2026-03-01T11:30:00.250Z");
    EXPECT_EQ(first.appCount, (std::map<QString, QString>{{"velmoplayer", "2"}}));
    EXPECT_EQ(first.appExec.at("velmoplayer"), "'velmoplayer %u'");

    const Entry& second = entries.at(href(b));
    EXPECT_EQ(second.occurrences, 1);
    EXPECT_EQ(second.mimeType, "audio/flac");
    EXPECT_EQ(second.appCount, (std::map<QString, QString>{{"velmoplayer", "1"}}));
}

TEST(RecentFiles, RelativeAndUncleanPathsNameTheSameEntry) {
    QTemporaryDir music;
    QDir().mkpath(music.filePath("sub"));
    const QString file = touch(QDir(music.path()), "x.ogg");
    const RecentFiles list(music.filePath("recently-used.xbel"));

    ASSERT_TRUE(list.add(file, First));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(music.filePath("sub"));
    const bool added = list.add("../sub/../x.ogg", Later);
    QDir::setCurrent(cwd);
    ASSERT_TRUE(added);

    const auto entries = readList(list.path());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.begin()->first, href(file));
    EXPECT_EQ(entries.begin()->second.appCount.at("velmoplayer"), "2");
}

TEST(RecentFiles, NewListIsPrivateAndItsFolderIsCreated) {
    QTemporaryDir root;
    const RecentFiles list(root.filePath("not/yet/recently-used.xbel"));
    const QString file = touch(QDir(root.path()), "a.wav");

    ASSERT_TRUE(list.add(file, First));

    EXPECT_EQ(QFile::permissions(list.path()) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    const auto entries = readList(list.path());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.begin()->first, href(file));
    EXPECT_FALSE(entries.begin()->second.mimeType.isEmpty());
}

TEST(RecentFiles, UnreadableListIsLeftUntouched) {
    QTemporaryDir root;
    const QString file = touch(QDir(root.path()), "a.mp3");
    const struct {
        const char* what;
        QByteArray content;
    } cases[] = {
        {"cut off", QByteArray(ForeignList).left(400)},
        {"not a bookmark file", "<?xml version=\"1.0\"?><html><body/></html>"},
        {"binary", QByteArray("\x00\x01\x02garbage", 10)},
    };
    for (const auto& c : cases) {
        const RecentFiles list(root.filePath("recently-used.xbel"));
        {
            QFile f(list.path());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(c.content);
        }
        EXPECT_FALSE(list.add(file, First)) << c.what;
        QFile f(list.path());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), c.content) << c.what;
    }
}

TEST(RecentFilesWriter, EveryQueuedAddIsWrittenBeforeTheWriterIsGone) {
    QTemporaryDir home;
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    const QString a = touch(QDir(home.path()), "a.mp3");
    const QString b = touch(QDir(home.path()), "b.wav");
    {
        RecentFilesWriter writer;
        for (const QString& file : {a, b, a, a, b, a})
            writer.add(file);
    }
    // Adds made at once on several threads would lose some of the counts.
    const auto entries = readList(RecentFiles::defaultPath());
    qputenv("XDG_DATA_HOME", dataHome);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.at(href(a)).appCount.at("velmoplayer"), "4");
    EXPECT_EQ(entries.at(href(b)).appCount.at("velmoplayer"), "2");
}
