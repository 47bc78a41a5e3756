// The settings, language and About windows wired into the running program:
// the main window, the playlist window, the settings window and the marker
// editor as the start-up creates them, the real settings file in the
// configuration folder.

#include "ScriptedPrompts.h"
#include "app/uIniWindows.h"
#include "mainwindow/uMain.h"
#include "audio/bass.h"
#include "controls/uAbout.h"
#include "controls/uQrGbar.h"
#include "platform/ProfileFile.h"
#include "playlist/uList.h"
#include "settings/uIni.h"
#include "settings/uLang.h"
#include "settings/uSettings.h"
#include "timeline/uEditor.h"
#include "timeline/uTimeline.h"
#include "TestWav.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A silent 16-bit mono 8 kHz WAV file.
void writeSilentWav(const QString& path, int seconds) {
    ASSERT_TRUE(WriteTestWav(path, seconds, 8000, 1));
}

// The windows as the start-up creates them. The playlist window and the
// marker editor live for the whole test program, as they do for the whole run.
class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QFile::remove(SettingsFilePath());
        QFile::remove(uLang::LanguageFileName());
        form = std::make_unique<TForm1>();
        settings = std::make_unique<TfrmSettings>();
        about = std::make_unique<TfrmAbout>();
        frmEditMarker();
        BindSettingsToWindows(*form, *settings);
    }
    void TearDown() override {
        if (frmList() && !frmList()->Empty()) {
            prompts.answer(Prompts::Answer::Ok);
            frmList()->btnClearClick();
        }
        about.reset();
        settings.reset();
        form.reset();
        uLang::ResetTexts();
        QFile::remove(SettingsFilePath());
        QFile::remove(uLang::LanguageFileName());
    }

    // Runs trigger and reports the modal window it opened (closing it).
    QWidget* modalOpenedBy(const std::function<void()>& trigger) {
        QWidget* shown = nullptr;
        QTimer::singleShot(0, [&shown] {
            shown = QApplication::activeModalWidget();
            if (shown)
                shown->close();
        });
        trigger();
        return shown;
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TfrmSettings> settings;
    std::unique_ptr<TfrmAbout> about;
};

}  // namespace

TEST_F(RunningProgram, SettingsReachTheWindowsAtStartAndTheFileAtExit) {
    const QString listFile = dir.filePath("evening.vpl");
    // Rows of files that exist: the selected row shows its file's facts, and
    // a missing file would be reported.
    const QString one = dir.filePath("one.wav");
    const QString two = dir.filePath("two.wav");
    writeSilentWav(one, 1);
    writeSilentWav(two, 1);
    writeFile(listFile, (one + '\n' + two + '\n').toUtf8());
    const QString addDir = dir.filePath("adds");
    ASSERT_TRUE(QDir().mkpath(addDir));
    writeFile(SettingsFilePath(), QStringLiteral("[main_window]\n"
                                                 "main_left=30\n"
                                                 "main_width=300\n"
                                                 "[edit_window]\n"
                                                 "edit_width=640\n"
                                                 "edit_height=320\n"
                                                 "[parameters]\n"
                                                 "volume=40\n"
                                                 "LockMarkers=1\n"
                                                 "MarkersFontSize=14\n"
                                                 "ListFontSize=12\n"
                                                 "EditorFontSize=16\n"
                                                 "AutoLoadLastList=1\n"
                                                 "LastList=%1\n"
                                                 "LastAddDir=%2\n"
                                                 "LastOpenDir=/music/older\n")
                                      .arg(listFile, addDir)
                                      .toUtf8());
    LoadSettings();

    EXPECT_EQ(form->pos().x(), 30);
    EXPECT_EQ(form->width(), TForm1::MinWidth) << "a width below the minimum loads as the minimum";
    EXPECT_EQ(frmEditMarker()->size(), QSize(640, 320));
    EXPECT_TRUE(form->LockMarkers) << "the timeline's drag obeys the loaded lock";
    EXPECT_EQ(form->tbVolume->Value(), 40);
    EXPECT_EQ(form->lvMarkers->font().pointSize(), 14);
    EXPECT_EQ(frmList()->PList->font().pointSize(), 12);
    EXPECT_EQ(frmEditMarker()->Memo1->font().pointSize(), 16);
    EXPECT_EQ(frmList()->ListFilename(), listFile);
    EXPECT_EQ(frmList()->Rows().count(), 2);
    EXPECT_EQ(frmList()->LastAddDir(), addDir);
    EXPECT_EQ(frmList()->LastOpenDir(), "/music/older");

    // Changes made while the program runs: the timeline menu's lock and the
    // list font typed into the settings window.
    form->miLock->trigger();
    EXPECT_FALSE(settings->LockMarkers()) << "the settings window shows the menu's lock";
    settings->seListFont->stepUp();
    EXPECT_EQ(frmList()->PList->font().pointSize(), 13);
    settings->cbLock->click();
    EXPECT_TRUE(form->LockMarkers) << "and the menu's lock follows the settings window";
    settings->cbLock->click();

    form->show();
    form->close();
    EXPECT_TRUE(prompts.asked.isEmpty()) << "nothing changed, nothing asked";
    const ProfileFile ini(SettingsFilePath());
    EXPECT_EQ(ini.readString("main_window", "main_width", "?"), "725");
    EXPECT_EQ(ini.readString("edit_window", "edit_width", "?"), "640");
    const QString p = QStringLiteral("parameters");
    EXPECT_EQ(ini.readString(p, "LockMarkers", "?"), "0");
    EXPECT_EQ(ini.readString(p, "ListFontSize", "?"), "13");
    EXPECT_EQ(ini.readString(p, "MarkersFontSize", "?"), "14");
    EXPECT_EQ(ini.readString(p, "volume", "?"), "40");
    EXPECT_EQ(ini.readString(p, "LastList", "?"), listFile);
    EXPECT_EQ(ini.readString(p, "LastAddDir", "?"), addDir);
    EXPECT_EQ(ini.readString(p, "LastOpenDir", "?"), "/music/older");
    EXPECT_TRUE(QFile::exists(uLang::LanguageFileName())) << "the language file is written at the first exit";
}

TEST_F(RunningProgram, SettingsDecideWhatTheMainWindowDoes) {
    const QString song = dir.filePath("talk.wav");
    writeSilentWav(song, 10);
    form->show();
    form->LoadAudioFile(song);
    ASSERT_NE(form->Channel(), 0u);
    auto position = [this] {
        return BASS_ChannelBytes2Seconds(form->Channel(), BASS_ChannelGetPosition(form->Channel(), BASS_POS_BYTE));
    };

    settings->SetSeekTime(3);
    int key = TForm1::VK_RIGHT;
    form->FormKeyDown(key);
    EXPECT_NEAR(position(), 3.0, 0.01) << "the arrow keys skip the seek time of the settings";

    // Unsaved markers: with auto-save off the close asks, with it on it saves.
    form->btnAddMarkerClick();
    ASSERT_TRUE(form->MarkersChanged());
    prompts.answer(Prompts::Answer::Cancel);
    EXPECT_FALSE(form->FormCloseQuery());
    EXPECT_EQ(prompts.asked.size(), 1);
    settings->SetAutoSave(true);
    EXPECT_TRUE(form->FormCloseQuery());
    EXPECT_EQ(prompts.asked.size(), 1) << "auto-save does not ask";
    EXPECT_FALSE(form->MarkersChanged());
    EXPECT_TRUE(QFile::exists(song + ".mrk"));

    // Keeping the last position: a playing file's position becomes a marker.
    settings->SetAutoSaveLastPos(true);
    key = TForm1::VK_RIGHT;
    form->FormKeyDown(key);  // away from the marker at 3 s
    form->btnPlayPauseClick();
    ASSERT_TRUE(form->isPlaying());
    EXPECT_TRUE(form->FormCloseQuery());
    QFile markers(song + ".mrk");
    ASSERT_TRUE(markers.open(QIODevice::ReadOnly));
    EXPECT_TRUE(markers.readAll().contains("LAST PLAYED POSITION"));

    // A file handed over by a second start joins the playlist only with AddCL.
    const int rows = frmList()->Rows().count();
    form->WMCopyData(song);
    EXPECT_EQ(frmList()->Rows().count(), rows);
    settings->SetAddCL(true);
    form->WMCopyData(song);
    EXPECT_EQ(frmList()->Rows().count(), rows + 1);
}

TEST_F(RunningProgram, SettingsWindowOpensModallyFromBothWindows) {
    form->resize(1000, 500);
    form->show();
    ASSERT_TRUE(form->miSettings->isEnabled());
    struct Opener {
        const char* name;
        std::function<void()> open;
    };
    const Opener openers[] = {
        {"main window button", [this] { form->btnOptions->click(); }},
        {"timeline menu", [this] { form->miSettings->trigger(); }},
        {"playlist button", [] { frmList()->btnOptions->click(); }},
        {"playlist menu", [] { frmList()->Settings1->trigger(); }},
    };
    for (const Opener& opener : openers) {
        SCOPED_TRACE(opener.name);
        EXPECT_EQ(modalOpenedBy(opener.open), settings.get());
        EXPECT_FALSE(settings->isVisible());
        const QPoint offset = settings->geometry().center() - form->frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 4) << "centred on the main window";
    }
    EXPECT_FALSE(QFile::exists(SettingsFilePath())) << "closing the settings window saves nothing";
}

TEST_F(RunningProgram, AboutOpensFromItsButtonAndThePicture) {
    form->btnAbout->click();
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_FALSE(about->testAttribute(Qt::WA_QuitOnClose)) << "an open About window must not keep the program alive";
    about->btnClose->click();
    EXPECT_FALSE(about->isVisible());
    form->Image1Click();
    EXPECT_TRUE(about->isVisible());
    about->close();
}

TEST_F(RunningProgram, LanguageTextsReachEveryControlOfTheMainAndPlaylistWindows) {
    // Every text gets a value of its own; each must show on its control.
    for (const uLang::TextEntry& e : uLang::Texts())
        *e.Text = QStringLiteral("text of ") + QLatin1String(e.Key);
    ApplyLanguage();

    struct Target {
        QWidget* window;
        QString name;
        const char* property;
    };
    int popupItem = 0;
    for (const uLang::TextEntry& e : uLang::Texts()) {
        const QString key = QLatin1String(e.Key);
        Target target{nullptr, QString(), nullptr};
        if (qstrcmp(e.Section, "main_hints") == 0 && key != "Form1_PaintBox1_hint")
            target = {form.get(), key.mid(6, key.size() - 6 - 5), "toolTip"};
        else if (qstrcmp(e.Section, "list_hints") == 0)
            target = {frmList(), key.mid(8, key.size() - 8 - 5), "toolTip"};
        else if (qstrcmp(e.Section, "popup_menu") == 0)
            target = {popupItem++ < 10 ? static_cast<QWidget*>(form.get()) : frmList(),
                      key.left(key.size() - 8), "text"};
        if (!target.window)
            continue;
        SCOPED_TRACE(key.toStdString());
        const QList<QObject*> named = target.window->findChildren<QObject*>(target.name);
        ASSERT_EQ(named.size(), 1) << "one control of the window carries the name";
        EXPECT_EQ(named.first()->property(target.property).toString(), *e.Text);
    }
    EXPECT_EQ(frmList()->Settings1->text(), uLang::miSettings_caption);
    EXPECT_TRUE(form->PaintBox1->toolTip().isEmpty()) << "the timeline never shows a hint";
}

TEST_F(RunningProgram, TranslatedLanguageFileShowsInTheWindowsAndIsKept) {
    const QByteArray translation = QStringLiteral("[main_hints]\n"
                                                  "Form1_btnStop_hint=Halt\n"
                                                  "[main_msg]\n"
                                                  "Form1_Save_Markers_msg=Marker speichern?\n"
                                                  "[list_hints]\n"
                                                  "frmList_btnClear_hint=Liste leeren\n")
                                       .toUtf8();
    writeFile(uLang::LanguageFileName(), translation);
    LoadSettings();
    EXPECT_EQ(form->btnStop->toolTip(), "Halt");
    EXPECT_EQ(frmList()->btnClear->toolTip(), "Liste leeren");
    EXPECT_EQ(form->btnPlayPause->toolTip(), "Start / Pause Play [ Space ]") << "other texts stay English";

    const QString song = dir.filePath("talk.wav");
    writeSilentWav(song, 2);
    form->show();
    form->LoadAudioFile(song);
    form->btnAddMarkerClick();
    prompts.answer(Prompts::Answer::No);
    form->close();
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked.first().text, "Marker speichern?");
    QFile file(uLang::LanguageFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), translation) << "an existing language file is never rewritten";
}
