// The settings file of the running program: read into the windows that exist
// at start, written at exit, its write failures reported; the language texts
// put into whatever windows exist.

#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "app/uIniWindows.h"
#include "platform/UserFolders.h"
#include "settings/SettingsWindows.h"
#include "settings/uSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

TEST(RunningSettings, FirstStartCreatesTheFolderAndExitWritesTheFile) {
    const QString folder = TestEnv::root() + "/config/VelmoPlayer";
    QDir(folder).removeRecursively();
    TfrmSettings settings;
    LoadSettings();
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_FALSE(QFile::exists(folder + "/VelmoPlayer.ini"));
    EXPECT_TRUE(SaveSettings());
    // 38 described keys, the 4 added ones and 4 section lines.
    EXPECT_EQ(readAll(folder + "/VelmoPlayer.ini").count('\n'), 38 + 4 + 4);
}

TEST(RunningSettings, LoadedWindowValuesAreKeptInRange) {
    const QString file = GetConfigFolder() + "VelmoPlayer.ini";
    writeAll(file, "[list_window]\nlist_height=100\n[parameters]\nvolume=250\neq3=-5\n");
    TfrmSettings settings;
    LoadSettings();
    EXPECT_EQ(RunningWindows().ListBounds().height(), 270);
    EXPECT_EQ(RunningWindows().Volume(), 100);
    EXPECT_EQ(RunningWindows().EqBand(3), 0);
    QFile::remove(file);
}

TEST(RunningSettings, FailedSaveShowsTheMessage) {
    const QString file = GetConfigFolder() + "VelmoPlayer.ini";
    QFile::remove(file);
    QDir().mkpath(file);
    TfrmSettings settings;
    ScriptedPrompts prompts;
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(prompts.texts(), QStringList{"Unable to write to " + file});
    QDir(file).removeRecursively();
}

TEST(RunningLanguage, ApplyPassesOverMissingWindows) {
    ApplyLanguage();  // whatever windows exist in this process
}
