// The file information notice of the main window and the playlist's file
// details, both read through GetAudioInfo.

#include "MainWindowFixture.h"

#include "TestEnv.h"
#include "controls/uMessage.h"
#include "playlist/uList.h"
#include "settings/LangTexts.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

class FileInfoTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        msg = std::make_unique<TfrmMsg>();
    }
    void TearDown() override {
        msg.reset();
        MainWindowTest::TearDown();
        uLang::ResetTexts();
    }
    // A loaded copy of the stereo WAV fixture, named song.wav.
    QString loadSong() {
        const QString path = dir.filePath("song.wav");
        EXPECT_TRUE(QFile::copy(TestEnv::fixture("tone-stereo-44100.wav"), path));
        form->LoadAudioFile(path);
        EXPECT_NE(form->Channel(), 0u);
        return path;
    }
    // The notice's lines, empty while it is hidden.
    QStringList notice() const {
        return msg->isVisible() ? msg->Label1->text().split('\n') : QStringList();
    }

    std::unique_ptr<TfrmMsg> msg;
};

TEST_F(FileInfoTest, NothingLoadedShowsNothing) {
    form->miFileInfo->trigger();
    QTest::mouseClick(form->lbName, Qt::LeftButton);
    EXPECT_FALSE(msg->isVisible());
    EXPECT_TRUE(prompts->asked.isEmpty());
}

TEST_F(FileInfoTest, NoticeShowsTheFactsForTwelveSecondsNearThePointer) {
    loadSong();
    form->miFileInfoClick();
    EXPECT_EQ(notice(), QStringList({
                            "AUDIO FILE INFO",
                            "----------------------",
                            "Name: song.wav",
                            "Folder: " + dir.path() + "/",
                            "172.34 KB | Duration: 00:00:01.000 | SampleRate: 44100",
                            "Channels: 2 | Bitrate: 16 | Format: WAV",
                        }));
    EXPECT_EQ(msg->pos(), QCursor::pos() + QPoint(-120, -20));
    EXPECT_EQ(msg->Timer1->interval(), 12000);
    EXPECT_TRUE(msg->Timer1->isActive());
}

TEST_F(FileInfoTest, LengthIsTheLoadedStreamsExactLength) {
    // A quick read of this MP3 counts its encoder delay and padding (1.045 s);
    // the notice agrees with the length the window shows.
    form->LoadAudioFile(TestEnv::fixture("tone-stereo-44100.mp3"));
    form->miFileInfoClick();
    const QStringList lines = notice();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[4], "16.78 KB | Duration: 00:00:01.000 | SampleRate: 44100");
}

TEST_F(FileInfoTest, LabelsComeFromTheLanguageTexts) {
    loadSong();
    uLang::Form1_FileInfo_msg = QStringLiteral(u"ИНФОРМАЦИЯ");
    uLang::Form1_Format_msg = QStringLiteral("Typ:");
    form->miFileInfoClick();
    const QStringList lines = notice();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral(u"ИНФОРМАЦИЯ"));
    EXPECT_TRUE(lines[5].endsWith("| Typ: WAV")) << lines[5].toStdString();
}

TEST_F(FileInfoTest, MenuItemAndNameLabelOpenTheNotice) {
    loadSong();
    ASSERT_TRUE(form->miFileInfo->isEnabled());
    form->miFileInfo->trigger();
    EXPECT_TRUE(msg->isVisible());

    msg->hide();
    QTest::mouseClick(form->lbName, Qt::RightButton);
    EXPECT_FALSE(msg->isVisible());
    QTest::mouseClick(form->lbName, Qt::LeftButton);
    EXPECT_TRUE(msg->isVisible());
}

TEST_F(FileInfoTest, DeletedFileIsReportedThenNoInfoIsShown) {
    const QString path = loadSong();
    ASSERT_TRUE(QFile::remove(path));
    form->miFileInfoClick();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral(u"Файл не найден: ") + path});
    EXPECT_EQ(notice(), QStringList{"NO FILE INFO. Probably Not Supported File"});
}

TEST_F(FileInfoTest, PlaylistDetailsReadTheRealFacts) {
    // The main window binds the playlist window's reader when it creates it.
    EXPECT_EQ(TfrmList::FileInfoText(TestEnv::fixture("tone-mono-22050.flac")),
              "tone-mono-22050.flac | 14.82 KB | Duration: 00:00:01.000 | SampleRate: 22050\r"
              "Channels: 1 | Bitrate: 16 | Format: FLAC");
    EXPECT_EQ(TfrmList::FileInfoText(TestEnv::fixture("text.mp3")), "NO FILE INFO");
}

}  // namespace
