// Per-user file associations in private XDG folders, checked by reading the
// files and by asking xdg-mime, the desktop's own client.

#include "RecordingShell.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "platform/AppError.h"
#include "settings/FileAssociations.h"
#include "settings/uSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace {

const QString kProgram = QStringLiteral("/opt/My Apps/velmo player");

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

class Associations : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(TestEnv::root() + "/data/applications").removeRecursively();
        QFile::remove(TestEnv::root() + "/data/applications");
        QFile::remove(MimeAppsListPath());
        QFile::remove(UserIconPath());
    }
    ScriptedPrompts prompts;
    RecordingShell shell;
};

}  // namespace

TEST_F(Associations, WritesTheDesktopEntryAndTheDefaults) {
    prompts.answer(Prompts::Answer::Ok);
    AssociateAudioFiles(kProgram);

    EXPECT_EQ(DesktopEntryPath(), TestEnv::root() + "/data/applications/velmoplayer.desktop");
    const QString entry = QString::fromUtf8(readFile(DesktopEntryPath()));
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/My Apps/velmo player\" %f\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains(
        "\nMimeType=audio/mpeg;audio/x-wav;audio/wav;audio/vnd.wave;audio/ogg;audio/x-vorbis+ogg;"
        "audio/x-opus+ogg;audio/x-ms-wma;audio/mp4;audio/x-m4a;audio/flac;audio/x-flac;\n"));
    // The entry's icon is found in the user's own icon theme.
    EXPECT_TRUE(entry.contains("\nIcon=velmoplayer\n"));
    EXPECT_EQ(UserIconPath(), TestEnv::root() + "/data/icons/hicolor/128x128/apps/velmoplayer.png");
    EXPECT_TRUE(readFile(UserIconPath()).startsWith("\x89PNG"));

    const QByteArray list = readFile(MimeAppsListPath());
    EXPECT_TRUE(list.startsWith("[Default Applications]\naudio/mpeg=velmoplayer.desktop;\n"));
    EXPECT_EQ(list.count("=velmoplayer.desktop;\n"), 12);

    ASSERT_EQ(prompts.asked.size(), 2);
    EXPECT_EQ(prompts.asked[0].text,
              "Are You Sure to Associate MP3, VAW, OGG, WMA, FLAC, M4A files with Velmo?");
    EXPECT_EQ(prompts.asked[0].buttons, Prompts::Buttons::OkCancel);
    EXPECT_EQ(prompts.asked[1].text,
              "When you first launch an audio file from Explorer,Windows may ask you to confirm "
              "opening it in VelmoPlayer. Select VelmoPlayer, check the \"always Use....\" box and "
              "click OK.");

    const QString tool = QStandardPaths::findExecutable("update-desktop-database");
    if (!tool.isEmpty()) {
        ASSERT_EQ(shell.programs.size(), 1);
        EXPECT_EQ(shell.programs[0], (QStringList{tool, TestEnv::root() + "/data/applications"}));
    }
}

TEST_F(Associations, XdgMimeAgrees) {
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty())
        GTEST_SKIP() << "xdg-mime is not installed";
    prompts.answer(Prompts::Answer::Ok);
    AssociateAudioFiles(kProgram);
    for (const char* type : {"audio/flac", "audio/mpeg", "audio/x-wav"}) {
        QProcess query;
        query.start("xdg-mime", {"query", "default", type});
        ASSERT_TRUE(query.waitForFinished(20000));
        EXPECT_EQ(query.readAllStandardOutput().trimmed(), QByteArray("velmoplayer.desktop")) << type;
    }
}

TEST_F(Associations, SecondRunChangesNothing) {
    prompts.answer(Prompts::Answer::Ok);
    AssociateAudioFiles(kProgram);
    const QByteArray entry = readFile(DesktopEntryPath());
    const QByteArray list = readFile(MimeAppsListPath());
    prompts.answer(Prompts::Answer::Ok);
    AssociateAudioFiles(kProgram);
    EXPECT_EQ(readFile(DesktopEntryPath()), entry);
    EXPECT_EQ(readFile(MimeAppsListPath()), list);
}

TEST_F(Associations, OtherEntriesOfMimeappsListStay) {
    writeFile(MimeAppsListPath(),
              "[Added Associations]\n"
              "text/plain=gedit.desktop;\n"
              "[Default Applications]\n"
              "audio/flac=vlc.desktop;\n"
              "video/mp4=vlc.desktop;\n");
    prompts.answer(Prompts::Answer::Ok);
    AssociateAudioFiles(kProgram);
    const QByteArray list = readFile(MimeAppsListPath());
    EXPECT_TRUE(list.startsWith("[Added Associations]\ntext/plain=gedit.desktop;\n[Default Applications]\n"
                                "audio/flac=velmoplayer.desktop;vlc.desktop;\nvideo/mp4=vlc.desktop;\n"))
        << list.constData();
}

TEST_F(Associations, CancelWritesNothing) {
    prompts.answer(Prompts::Answer::Cancel);
    AssociateAudioFiles(kProgram);
    EXPECT_FALSE(QFile::exists(DesktopEntryPath()));
    EXPECT_FALSE(QFile::exists(MimeAppsListPath()));
    EXPECT_EQ(prompts.asked.size(), 1);
    EXPECT_TRUE(shell.programs.isEmpty());
}

TEST_F(Associations, UnwritableFolderStopsWithoutTheNotice) {
    // A file where the applications folder should be.
    writeFile(TestEnv::root() + "/data/applications", "in the way");
    prompts.answer(Prompts::Answer::Ok);
    try {
        AssociateAudioFiles(kProgram);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Failed to set data for '" + DesktopEntryPath() + "'");
    }
    EXPECT_EQ(prompts.asked.size(), 1) << "no closing notice";
    EXPECT_FALSE(QFile::exists(MimeAppsListPath()));
}

TEST(ExecQuoting, SpecialCharactersAreEscaped) {
    EXPECT_EQ(QuotedExecArgument("/a b/c"), "\"/a b/c\"");
    EXPECT_EQ(QuotedExecArgument("/x$y`z\"w"), "\"/x\\\\$y\\\\`z\\\\\"w\"");
    EXPECT_EQ(QuotedExecArgument("/100%/p"), "\"/100%%/p\"");
    EXPECT_EQ(QuotedExecArgument("/back\\slash"), "\"/back\\\\\\\\slash\"");
}

TEST(SettingsButtons, FolderButtonCreatesAndOpensTheConfigurationFolder) {
    const QString folder = TestEnv::root() + "/config/VelmoPlayer/";
    QDir(folder).removeRecursively();
    RecordingShell shell;
    TfrmSettings w;
    w.btnIniLocation->click();
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(shell.folders, QStringList{folder});
}

TEST(SettingsButtons, DefaultAppsPageFallsBackToTheMimeappsFolder) {
    const QByteArray saved = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", "SomeOtherDesktop");
    RecordingShell shell;
    TfrmSettings w;
    w.btnWinSettings->click();
    EXPECT_EQ(shell.folders, QStringList{TestEnv::root() + "/config"});
    qputenv("XDG_CURRENT_DESKTOP", saved);
}

TEST(SettingsButtons, CloseEndsTheModalShowing) {
    TfrmSettings w;
    QTimer::singleShot(0, w.btnClose, &QPushButton::click);
    QTimer::singleShot(5000, &w, [&] { ADD_FAILURE() << "still open"; w.reject(); });
    w.ShowModalOver(nullptr);
    EXPECT_FALSE(w.isVisible());
}
