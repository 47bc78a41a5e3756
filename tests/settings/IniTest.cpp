// The settings file: first start, reading rules per key, coupling, the
// playlist keys, the file written at exit and writing failures.

#include "FakeWindows.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "platform/AppError.h"
#include "platform/UserFolders.h"
#include "settings/SettingsWindows.h"
#include "settings/uIni.h"
#include "settings/uSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

class IniTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("VelmoPlayer.ini");
    TfrmSettings settings;
    FakeWindows windows;

    void load(const QByteArray& bytes) {
        writeFile(path, bytes);
        LoadSettingsFrom(path, settings, windows);
    }
};

}  // namespace

TEST_F(IniTest, MissingFileGivesTheDefaults) {
    QSignalSpy markersFont(&settings, &TfrmSettings::MarkersFontSizeChanged);
    QSignalSpy listFont(&settings, &TfrmSettings::ListFontSizeChanged);
    QSignalSpy editorFont(&settings, &TfrmSettings::EditorFontSizeChanged);
    LoadSettingsFrom(path, settings, windows);

    EXPECT_FALSE(QFile::exists(path)) << "reading creates nothing";
    EXPECT_EQ(windows.main, QRect(200, 200, 842, 400));
    EXPECT_EQ(windows.list, QRect(200, 200, 700, 270)) << "at the main window's corner, minimum size";
    EXPECT_EQ(windows.editor, QSize(700, 300));
    EXPECT_EQ(windows.volume, 100);
    EXPECT_FALSE(windows.eq);
    for (int band : windows.bands)
        EXPECT_EQ(band, 12);
    EXPECT_FALSE(windows.autoStop);
    EXPECT_EQ(settings.SeekTime(), 1);
    EXPECT_EQ(settings.MarkersFontSize(), 9);
    EXPECT_FALSE(settings.AutoSave() || settings.AddOnDrop() || settings.AddCL() ||
                 settings.AddOnOpen() || settings.LockMarkers() || settings.AutoLoadLastList() ||
                 settings.AutoSaveList() || settings.AutoSaveLastPos());
    EXPECT_EQ(windows.lastAddDir, DocumentsDefault());
    EXPECT_EQ(windows.lastSaveDir, DocumentsDefault());
    EXPECT_EQ(windows.lastOpenDir, DocumentsDefault());
    EXPECT_EQ(markersFont.count(), 1) << "9 differs from the marker list's design 11";
    EXPECT_EQ(listFont.count(), 0) << "9 equals the playlist's design value";
    EXPECT_EQ(editorFont.count(), 0) << "9 equals the editor's design value";
    EXPECT_EQ(windows.languageApplied, 1);
}

TEST_F(IniTest, FirstSaveWritesTheDescribed38KeysInOrderThenTheAddedOnes) {
    LoadSettingsFrom(path, settings, windows);
    SaveSettingsTo(path, settings, windows);
    const QByteArray docs = DocumentsDefault().toUtf8();
    const QByteArray expected =
        "[main_window]\nmain_left=200\nmain_top=200\nmain_height=400\nmain_width=842\n"
        "[list_window]\nlist_left=200\nlist_top=200\nlist_height=270\nlistwidth=700\n"
        "[edit_window]\nedit_width=700\nedit_height=300\n"
        "[parameters]\nvolume=100\nAutoSave=0\nAddOnDrop=0\nAddCL=0\nAddOnOpen=0\nEQ=0\n"
        "eq1=12\neq2=12\neq3=12\neq4=12\neq5=12\neq6=12\neq7=12\neq8=12\neq9=12\n"
        "SeekTime=1\nLockMarkers=0\nMarkersFontSize=9\nListFontSize=9\nAutoLoadLastList=0\n"
        "AutoSaveList=0\nLastList=/own/default/list\nLastAddDir=" + docs + "\nLastSaveDir=" + docs +
        "\nLastOpenDir=" + docs + "\nAutoSaveLastPos=0\nEditorFontSize=9\nAutoStop=0\n"
        "ShowWaveform=1\nShowMarkerNames=0\nNameMarkersOnAdd=0\nSpeed=100\n";
    EXPECT_EQ(readFile(path), expected);
    EXPECT_EQ(windows.languageWritten, 1);
}

TEST_F(IniTest, ValuesAreParsedAndClampedPerKey) {
    using Read = std::function<int(const TfrmSettings&, const FakeWindows&)>;
    const Read seekTime = [](auto& s, auto&) { return s.SeekTime(); };
    const Read autoSave = [](auto& s, auto&) { return int(s.AutoSave()); };
    struct Case {
        const char* line;
        Read loaded;
        int expected;
    };
    const Case cases[] = {
        {"SeekTime=0", seekTime, 1},
        {"SeekTime=99", seekTime, 30},
        {"SeekTime=abc", seekTime, 1},
        {"SeekTime=$A", seekTime, 10},
        {"MarkersFontSize=4", [](auto& s, auto&) { return s.MarkersFontSize(); }, 6},
        {"EditorFontSize=0x0F", [](auto& s, auto&) { return s.EditorFontSize(); }, 15},
        {"AutoSave=true", autoSave, 0},
        {"AutoSave=2", autoSave, 1},
        {"AddCL=-1", [](auto& s, auto&) { return int(s.FAddCL); }, 1},
        {"volume=0x40", [](auto&, auto& w) { return w.volume; }, 64},
        {"EQ=1", [](auto&, auto& w) { return int(w.eq); }, 1},
        {"Speed=75", [](auto&, auto& w) { return w.speed; }, 75},
        // The band bar clamps (see LoadedWindowValuesAreKeptInRange), not the loader.
        {"eq3=-5", [](auto&, auto& w) { return w.bands[2]; }, -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TfrmSettings fresh;
        FakeWindows freshWindows;
        writeFile(path, QByteArray("[parameters]\n") + c.line + "\n");
        LoadSettingsFrom(path, fresh, freshWindows);
        EXPECT_EQ(c.loaded(fresh, freshWindows), c.expected);
    }
}

TEST_F(IniTest, LastPositionSwitchPullsAutoSaveOn) {
    load("[parameters]\nAutoSave=0\nAutoSaveLastPos=1\n");
    EXPECT_TRUE(settings.AutoSave());
    EXPECT_TRUE(settings.AutoSaveLastPos());
}

TEST_F(IniTest, ListPositionDefaultsToTheMainWindowAsLoaded) {
    load("[main_window]\nmain_left=-50\nmain_top=30\n");
    EXPECT_EQ(windows.list.topLeft(), QPoint(-50, 30));
}

TEST_F(IniTest, LastListIsReadOnlyWhenAutoLoadIsOn) {
    load("[parameters]\nAutoLoadLastList=0\nLastList=/music/mine.vpl\n");
    EXPECT_TRUE(windows.loadedLists.isEmpty());
    SaveSettingsTo(path, settings, windows);
    EXPECT_TRUE(readFile(path).contains("\nLastList=/own/default/list\n"))
        << "at exit the key takes the playlist window's current file";

    FakeWindows other;
    TfrmSettings otherSettings;
    writeFile(path, "[parameters]\nAutoLoadLastList=1\nLastList=/music/mine.vpl\n");
    LoadSettingsFrom(path, otherSettings, other);
    EXPECT_EQ(other.loadedLists, QStringList{"/music/mine.vpl"});
}

TEST_F(IniTest, SavingReplacesValuesInPlaceAndKeepsTheRest) {
    load("; tuned by hand\n"
         "[parameters]\n"
         "MyOwnKey=keep me\n"
         "SeekTime = 5\n"
         "\n"
         "[main_window]\n"
         "main_width=900\n");
    settings.SetSeekTime(7);
    SaveSettingsTo(path, settings, windows);
    const QByteArray bytes = readFile(path);
    EXPECT_TRUE(bytes.startsWith("; tuned by hand\n[parameters]\nMyOwnKey=keep me\nSeekTime=7\nvolume=100\n"))
        << bytes.constData();
    EXPECT_TRUE(bytes.contains("\n[main_window]\nmain_width=900\nmain_left=200\n")) << bytes.constData();
    EXPECT_EQ(bytes.count("SeekTime="), 1);
}

TEST_F(IniTest, UnwritableFileIsReportedAndStopsTheLanguageFile) {
    // A folder where the file should be: no save can replace it.
    QDir().mkpath(path);
    try {
        SaveSettingsTo(path, settings, windows);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Unable to write to " + path);
    }
    EXPECT_EQ(windows.languageWritten, 0);
}

