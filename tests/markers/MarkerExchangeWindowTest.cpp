// Export and import from the marker list's and the timeline's menus.

#include "MarkerWindow.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>

namespace {

QAction* Item(TForm1& form, const char* name) {
    QAction* action = form.findChild<QAction*>(QLatin1String(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
}

TEST(MarkerExchangeWindow, ExportWritesTheFormatOfTheChosenFileType) {
    struct Case {
        const char* item;
        int filter;          // the filter chosen in the dialog
        const char* typed;   // the name typed
        const char* written; // the file that appears
        const char* content;
    };
    const Case cases[] = {
        {"miExportMarkers", 0, "labels.txt", "labels.txt", "1.500000\t1.500000\tm1\n10.000000\t10.000000\tm2\n"},
        {"miExportMarkersTL", 4, "video.txt", "video.txt", "00:01 m1\n00:10 m2\n"},
        // A suffix of one format only decides over the chosen filter.
        {"miExportMarkers", 0, "disc.cue", "disc.cue",
         "FILE \"silence-30.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"m1\"\n    INDEX 01 00:01:38\n"
         "  TRACK 02 AUDIO\n    TITLE \"m2\"\n    INDEX 01 00:10:00\n"},
        // A name without a suffix gets the chosen format's.
        {"miExportMarkersTL", 2, "chapters", "chapters.ffmetadata",
         ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=1500\nEND=10000\ntitle=m1\n"
         "[CHAPTER]\nTIMEBASE=1/1000\nSTART=10000\nEND=30000\ntitle=m2\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        MarkerWindow w;
        w.loadSilence(30);
        w.setMarkers({1.5, 10});
        prompts.answerSave(dir.filePath(QString::fromLatin1(c.typed)));
        prompts.answerSaveFilter(c.filter);
        Item(w.form(), c.item)->trigger();
        ASSERT_EQ(prompts.saveDialogs.size(), 1);
        EXPECT_TRUE(prompts.saveDialogs[0].filters.value(1).contains(QStringLiteral("rounded to 1/75 s")));
        EXPECT_EQ(QString::fromUtf8(readAll(dir.filePath(QString::fromLatin1(c.written)))),
                  QString::fromUtf8(c.content))
            << c.typed;
        EXPECT_FALSE(w.form().MarkersChanged());
        EXPECT_TRUE(prompts.asked.isEmpty()) << prompts.texts().join('|').toStdString();
    }
}

TEST(MarkerExchangeWindow, ExportWithoutMarkersSaysSoAndCancelWritesNothing) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.loadSilence(30);
    w.form().miExportMarkersClick();
    EXPECT_EQ(prompts.texts(), QStringList({"There are no markers to export."}));
    EXPECT_TRUE(prompts.saveDialogs.isEmpty());
    w.setMarkers({1});
    w.form().miExportMarkersClick();  // the unscripted dialog is cancelled
    EXPECT_EQ(prompts.saveDialogs.size(), 1);
    EXPECT_EQ(prompts.texts().size(), 1);
}

// A window with markers m1 at 1.5 s and m2 at 10 s that imports a file
// through a menu item.
struct ImportRun {
    ImportRun(const char* name, const QByteArray& content, const char* item) {
        file = dir.filePath(QString::fromLatin1(name));
        writeAll(file, content);
        w.loadSilence(30);
        w.setMarkers({1.5, 10});
        prompts.answerOpen({file});
        Item(w.form(), item)->trigger();
    }
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MarkerWindow w;
    QString file;
};

TEST(MarkerExchangeWindow, ImportMergesAndMarksTheListUnsaved) {
    ImportRun run("labels.txt", "10.00005\t10.00005\tsame time as m2\n4\t6\tregion\n", "miImportMarkersTL");
    EXPECT_EQ(run.w.markerTimes(), QList<double>({1.5, 4, 10}));
    EXPECT_EQ(run.w.column(MarkerListModel::ColDescription), QStringList({"m1", "region", "m2"}));
    EXPECT_TRUE(run.w.form().MarkersChanged());
    EXPECT_EQ(run.prompts.texts(),
              QStringList({"Markers imported: 1. Left out because a marker is already at that time: 1."}));
    ASSERT_EQ(run.prompts.openDialogs.size(), 1);
    EXPECT_TRUE(run.prompts.openDialogs[0].filters.value(0).contains(QStringLiteral("*.cue")));
}

TEST(MarkerExchangeWindow, BadInputNamesFileAndLineAndChangesNothing) {
    ImportRun run("chapters.json", "{\"chapters\": [\n  {\"startTime\": 3},\n  {\"startTime\": 4,,}\n]}",
                  "miImportMarkers");
    EXPECT_EQ(run.w.markerTimes(), QList<double>({1.5, 10}));
    EXPECT_FALSE(run.w.form().MarkersChanged());
    ASSERT_EQ(run.prompts.asked.size(), 1);
    EXPECT_EQ(run.prompts.asked[0].kind, Prompts::Kind::Error);
    EXPECT_TRUE(run.prompts.asked[0].text.startsWith(run.file + QStringLiteral(", line 3: ")))
        << run.prompts.asked[0].text.toStdString();
}

}  // namespace
