// The MPRIS commands over the real main window and playlist: each takes the
// path of the window's own controls, so the window's rules hold for media
// keys too. Also: only a load that succeeded goes into the desktop's recent
// files.
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "mainwindow/MprisMainWindow.h"
#include "mainwindow/uMain.h"
#include "audio/AudioTestApi.h"
#include "desktop/RecentFiles.h"
#include "playlist/uList.h"
#include "settings/LangTexts.h"
#include "TestWav.h"

#include <gtest/gtest.h>

#include <QTest>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace {

void writeWav(const QString& path, double seconds) {
    // a quiet square wave
    ASSERT_TRUE(WriteTestWav(path, seconds, 8000, 1, [](int i) { return qint16((i / 8) % 2 ? 0x1000 : -0x1000); }));
}

bool runUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

class MprisWindow : public ::testing::Test {
protected:
    void SetUp() override {
        velmo::audio::test::useNullOutput(false);
        form_ = std::make_unique<TForm1>();
        form_->show();
        player_ = std::make_unique<MprisMainWindow>(*form_);
    }
    void TearDown() override {
        player_.reset();
        form_.reset();
        delete frmList();
        velmo::audio::test::useDeviceOutput();
    }
    QString song(const QString& name, double seconds = 2.0) {
        const QString path = temp_.filePath(name);
        writeWav(path, seconds);
        return path;
    }
    static bool inRecentFiles(const QString& path) {
        QFile list(RecentFiles::defaultPath());
        return list.open(QIODevice::ReadOnly) &&
               list.readAll().contains("href=\"" + QUrl::fromLocalFile(path).toEncoded() + "\"");
    }

    QTemporaryDir temp_{TestEnv::root() + "/mprisXXXXXX"};
    ScriptedPrompts prompts_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<MprisMainWindow> player_;
};

TEST_F(MprisWindow, QuitAsksAboutUnsavedMarkersLikeTheCloseButton) {
    const QString path = song("marked.wav");
    form_->LoadAudioFile(path);
    form_->btnAddMarkerClick();
    ASSERT_TRUE(form_->MarkersChanged());

    prompts_.answer(Prompts::Answer::Cancel);
    player_->quit();
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts_.asked.size(), 1);
    EXPECT_EQ(prompts_.asked[0].text, uLang::Form1_Save_Markers_msg);
    EXPECT_EQ(prompts_.asked[0].buttons, Prompts::Buttons::YesNoCancel);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_TRUE(form_->MarkersChanged());
    EXPECT_NE(player_->trackPath(), QString());

    prompts_.answer(Prompts::Answer::Yes);
    player_->quit();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(QFile::exists(path + ".mrk"));
}

TEST_F(MprisWindow, OpenedFilesFollowTheHandOffRules) {
    const QString first = song("first.wav");
    player_->openFile(first);
    EXPECT_EQ(player_->trackPath(), first);
    EXPECT_TRUE(runUntil([&] { return player_->status() == MprisPlayerFacade::Status::Playing; }));

    // A name the hand-off does not take changes nothing.
    const QString text = temp_.filePath("notes.txt");
    QFile(text).open(QIODevice::WriteOnly);
    player_->openFile(text);
    EXPECT_EQ(player_->trackPath(), first);
    EXPECT_EQ(player_->status(), MprisPlayerFacade::Status::Playing);
    EXPECT_TRUE(prompts_.openDialogs.isEmpty());

    // An accepted name the library refuses: nothing stays loaded and the
    // following play asks for a file, as a hand-off does.
    const QString refused = temp_.filePath("broken.wav");
    QFile(refused).open(QIODevice::WriteOnly);
    player_->openFile(refused);
    EXPECT_EQ(player_->trackPath(), QString());
    EXPECT_EQ(player_->status(), MprisPlayerFacade::Status::Stopped);
    EXPECT_EQ(prompts_.openDialogs.size(), 1);
}

TEST_F(MprisWindow, NextAndPreviousArePlaylistSteps) {
    TfrmList* list = frmList();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(player_->canGoNext());
    EXPECT_FALSE(player_->canGoPrevious());
    const QString a = song("a.wav"), b = song("b.wav");
    list->AddFileToList(a, false);
    list->AddFileToList(b, false);
    EXPECT_TRUE(player_->canGoNext());

    player_->next();
    EXPECT_EQ(player_->trackPath(), a);
    EXPECT_TRUE(player_->canGoNext());
    EXPECT_FALSE(player_->canGoPrevious());
    player_->next();
    EXPECT_EQ(player_->trackPath(), b);
    EXPECT_FALSE(player_->canGoNext());
    EXPECT_TRUE(player_->canGoPrevious());
    player_->previous();
    EXPECT_EQ(player_->trackPath(), a);

    // Marker stepping stays on the window's own buttons: a playlist step
    // never moves inside the file.
    form_->btnAddMarkerClick();
    player_->next();
    EXPECT_EQ(player_->trackPath(), b);
}

TEST_F(MprisWindow, VolumeGoesThroughTheVolumeBar) {
    player_->setVolume(35);
    EXPECT_EQ(player_->volume(), 35);
    EXPECT_EQ(form_->GetVolume(), 35);
    player_->setVolume(250);
    EXPECT_EQ(player_->volume(), 100);
}

TEST_F(MprisWindow, OnlySuccessfulLoadsAreRecentFiles) {
    const QString refused = temp_.filePath("refused.mp3");
    QFile::copy(TestEnv::fixture("text.mp3"), refused);
    form_->LoadAudioFile(refused);
    ASSERT_EQ(form_->Channel(), 0u);
    const QString missing = temp_.filePath("missing.wav");
    form_->LoadAudioFile(missing);
    const QString good = song("good.wav");
    form_->LoadAudioFile(good);
    ASSERT_NE(form_->Channel(), 0u);

    // The list is written in the background, in the order of the loads: once
    // the good file is listed, anything the failed loads added would be too.
    QTRY_VERIFY_WITH_TIMEOUT(inRecentFiles(good), 5000);
    EXPECT_FALSE(inRecentFiles(refused));
    EXPECT_FALSE(inRecentFiles(missing));
}

}  // namespace
