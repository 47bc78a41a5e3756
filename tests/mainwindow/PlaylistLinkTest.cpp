// The main window and the playlist window together: the playlist buttons and
// key, next and previous, the add-to-playlist notice, the step at the end of
// a track under the auto-stop boxes, and the mirrored volume and level bars.

#include "MainWindowFixture.h"

#include "audio/AudioTestApi.h"
#include "controls/uMessage.h"
#include "controls/uQrGbar.h"
#include "playlist/uList.h"
#include "settings/uSettings.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

class PlaylistLink : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        list = frmList();
        ASSERT_NE(list, nullptr);
        prompts->answer(Prompts::Answer::Ok);
        list->btnClearClick();
        list->hide();
        prompts->clear();
    }
    // Rows for the named sine files, in order; returns their paths.
    QStringList FillList(const QStringList& names, double seconds) {
        QStringList paths;
        for (const QString& name : names) {
            paths << SineFile(name, seconds);
            list->AddFileToList(paths.last(), false);
        }
        return paths;
    }
    QString Playing() const { return QFileInfo(form->AudioFileName()).fileName(); }

    TfrmList* list = nullptr;
};

class PlaylistLinkUntimed : public PlaylistLink {
protected:
    void SetUp() override {
        velmo::audio::test::useNullOutput(true);
        PlaylistLink::SetUp();
    }
    void TearDown() override {
        PlaylistLink::TearDown();
        velmo::audio::test::useDeviceOutput();
    }
};

}  // namespace

// The playlist window's auto-stop box shows the main window's state from the
// start, whatever it showed before, so its first click turns auto-stop off.
TEST_F(PlaylistLink, AutoStopBoxStartsWithTheMainWindowsState) {
    for (bool listBoxBefore : {false, true}) {
        {
            const QSignalBlocker quiet(list->cbAutoStop);
            list->cbAutoStop->setChecked(listBoxBefore);
        }
        form.reset();
        form = std::make_unique<TForm1>();
        ASSERT_NE(form->AutoStop(), 0) << "auto-stop is on at start";
        EXPECT_TRUE(list->cbAutoStop->isChecked()) << listBoxBefore;
        list->cbAutoStop->click();
        EXPECT_EQ(form->AutoStop(), 0) << listBoxBefore;
        EXPECT_FALSE(form->CheckBox1->isChecked()) << listBoxBefore;
    }
}

TEST_F(PlaylistLink, PlaylistButtonAndLKeyShowTheWindow) {
    form->btnPlayList->click();
    EXPECT_TRUE(list->isVisible());
    list->close();
    EXPECT_FALSE(list->isVisible()) << "closing only hides";
    EXPECT_EQ(frmList(), list);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_L, Qt::NoModifier, QStringLiteral("l"));
    QCoreApplication::sendEvent(form->lbPosition, &key);
    EXPECT_TRUE(list->isVisible()) << "L works with nothing loaded";
}

TEST_F(PlaylistLink, NextAndPreviousButtonsStepThroughTheList) {
    FillList({"a.wav", "b.wav", "c.wav"}, 2.0);
    struct Step {
        QToolButton* button;
        const char* playing;
    };
    const Step steps[] = {{form->btnNextFile, "a.wav"}, {form->btnNextFile, "b.wav"},
                          {form->btnPrevFile, "a.wav"}, {form->btnPrevFile, "a.wav"},
                          {form->btnNextFile, "b.wav"}, {form->btnNextFile, "c.wav"},
                          {form->btnNextFile, "c.wav"}};
    for (const Step& step : steps) {
        step.button->click();
        EXPECT_EQ(Playing().toStdString(), step.playing);
        EXPECT_TRUE(form->isPlaying());
        EXPECT_EQ(QFileInfo(list->GetSelectedFileName()).fileName().toStdString(), step.playing);
    }
}

TEST_F(PlaylistLink, AddToPlaylistAppendsTheLoadedFileAndSaysSo) {
    TfrmMsg notice;
    form->btnAddToPlayList->click();
    EXPECT_TRUE(list->Empty()) << "nothing loaded, nothing added";
    EXPECT_FALSE(notice.isVisible());

    const QString file = SineFile("song.wav", 1.0);
    form->LoadAudioFile(file);
    form->btnAddToPlayList->click();
    EXPECT_EQ(list->Rows().model().locations(), QStringList{file});
    EXPECT_TRUE(notice.isVisible());
    EXPECT_EQ(notice.Label1->text(), "File song.wav Added to PlayList");
}

TEST_F(PlaylistLinkUntimed, EndOfTrackPlaysTheNextRowUnlessAutoStop) {
    struct Case {
        bool autoStop;
        const char* last;  // the file loaded once playback has come to rest
    };
    for (const Case& c : {Case{true, "a.wav"}, Case{false, "c.wav"}}) {
        prompts->answer(Prompts::Answer::Ok);
        list->btnClearClick();
        FillList({"a.wav", "b.wav", "c.wav"}, 0.3);
        // The playlist window's box drives the main window's, and back.
        if (list->cbAutoStop->isChecked() != c.autoStop)
            list->cbAutoStop->click();
        EXPECT_EQ(form->CheckBox1->isChecked(), c.autoStop);
        EXPECT_EQ(form->AutoStop() != 0, c.autoStop);
        list->PlayNext();
        ASSERT_TRUE(WaitUntil([&] { return !form->isPlaying() && Playing() == c.last; }, 10000))
            << "auto-stop " << c.autoStop << ", at " << Playing().toStdString();
        // No wrap after the last row, and auto-stop holds at the first.
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(Playing().toStdString(), c.last);
        EXPECT_FALSE(form->isPlaying());
    }
    form->SetAutoStop(-1);
    EXPECT_TRUE(list->cbAutoStop->isChecked());
}

TEST_F(PlaylistLink, VolumeAndLevelBarsAreMirrored) {
    list->tbVolume->SetValue(40);
    EXPECT_EQ(form->tbVolume->Value(), 40) << "the playlist's bar drives the player's";
    form->tbVolume->SetValue(70);
    form->tbVolumeMouseUp();
    EXPECT_EQ(list->tbVolume->Value(), 70) << "released, the player's bar is copied";
    EXPECT_TRUE(form->FormMouseWheel(120, form->tbVolume->mapToGlobal(form->tbVolume->rect().center())));
    EXPECT_EQ(list->tbVolume->Value(), 72) << "the wheel on the player's bar is copied";
    form->tbVolume->SetValue(30);
    list->show();
    EXPECT_EQ(list->tbVolume->Value(), 30) << "showing the window copies the volume";

    form->LoadAudioFile(SineFile("level.wav", 3.0));
    form->btnPlayPauseClick();
    ASSERT_TRUE(WaitUntil([&] {
        form->Timer1Timer();
        return form->gbIUv->Value() > 0;
    }));
    EXPECT_EQ(list->gbIUv->Value(), form->gbIUv->Value());
    form->btnStopClick();
    form->Timer1Timer();
    EXPECT_EQ(list->gbIUv->Value(), 0);
}

TEST_F(PlaylistLink, ClosingThePlayerKeepsTheListOnlyWithAutoSaveList) {
    TfrmSettings settings;
    const QString file = dir.filePath("kept.vpl");
    struct Case {
        bool autoSaveList;
        bool clearFirst;
        QByteArray fileAfterClose;
    };
    const QByteArray saved = "/m/a.mp3\r\n/m/b.mp3\r\n";
    const Case cases[] = {
        {false, false, saved},
        {true, true, saved},  // an empty list is not written: the file stays
        {true, false, saved + "/m/c.mp3\r\n"},
    };
    for (const Case& c : cases) {
        prompts->answer(Prompts::Answer::Ok);
        list->btnClearClick();
        list->AddFileToList("/m/a.mp3", false);
        list->AddFileToList("/m/b.mp3", false);
        list->SaveListBg(file);
        list->AddFileToList("/m/c.mp3", false);
        if (c.clearFirst) {
            prompts->answer(Prompts::Answer::Ok);
            list->btnClearClick();
        }
        settings.SetAutoSaveList(c.autoSaveList);
        form->close();
        QFile kept(file);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), c.fileAfterClose) << c.autoSaveList << c.clearFirst;
        form = std::make_unique<TForm1>();
        form->show();
    }
}
