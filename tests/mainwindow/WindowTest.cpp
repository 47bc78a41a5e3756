// Window lifecycle: compact size, the picture switch, help, close.

#include "MainWindowFixture.h"

#include "RecordingShell.h"
#include "controls/uQrGbar.h"

#include <QLabel>
#include <QToolButton>

TEST_F(MainWindowTest, CompactToggleRemembersTheSizeToRestore) {
    struct Case {
        QSize start;
        QSize remembered;
    };
    for (const Case& c : {Case{{1000, 500}, {1000, 500}}, Case{{800, 400}, {842, 400}}}) {
        form->resize(c.start);
        form->btnCompactClick();
        EXPECT_EQ(form->size(), QSize(725, 231));
        EXPECT_TRUE(form->Compact());
        EXPECT_EQ(QSize(form->LastWidth(), form->LastHeight()), c.remembered);
        form->btnCompactClick();
        EXPECT_EQ(form->size(), c.remembered);
        EXPECT_FALSE(form->Compact());
    }
}

TEST(MainWindowShow, FirstShowAtTheMinimumSizeCountsAsCompact) {
    ScriptedPrompts prompts;
    TForm1 form;
    form.resize(725, 231);
    form.show();
    EXPECT_TRUE(form.Compact());
    form.btnCompactClick();
    EXPECT_EQ(form.size(), QSize(842, 381));
}

TEST_F(MainWindowTest, PictureGivesWayToTheAboutButtonBelow842) {
    struct Row {
        int width;
        bool picture;
    };
    for (const Row& row : {Row{841, false}, Row{842, true}, Row{725, false}, Row{1200, true}}) {
        form->resize(row.width, 400);
        EXPECT_EQ(form->Image1->isVisible(), row.picture) << row.width;
        EXPECT_EQ(form->btnAbout->isVisible(), !row.picture) << row.width;
    }
}

TEST_F(MainWindowTest, PictureIsOurJpeg) {
    ASSERT_NE(form->Image1->pixmap().isNull(), true);
    EXPECT_EQ(form->Image1->pixmap().size(), QSize(179, 115));
}

TEST_F(MainWindowTest, AnchoredControlsFollowTheWindow) {
    form->resize(1007, 473);
    EXPECT_EQ(form->Panel1->geometry(), QRect(988, 201, 15, 266));
    EXPECT_EQ(form->lbName->geometry(), QRect(303, 122, 563, 23));
    EXPECT_EQ(form->tbVolume->size(), QSize(15, 266));
    EXPECT_EQ(form->pnEq->geometry(), QRect(439, 148, 201, 41));
}

TEST_F(MainWindowTest, HelpOpensTheDocumentationPage) {
    RecordingShell shell;
    form->btnHelp->click();
    EXPECT_EQ(shell.urls, QStringList{TForm1::DocumentationUrl});
}

TEST_F(MainWindowTest, HandedOverFileIsLoadedAndPlayedWhateverTheExtensionCase) {
    const QString upper = SineFile("SONG.WAV", 2.0);
    form->WMCopyData(upper);
    EXPECT_EQ(form->AudioFileName(), upper);
    EXPECT_TRUE(form->isPlaying());
    const QString other = dir.filePath("notes.txt");
    form->WMCopyData(other);
    EXPECT_EQ(form->AudioFileName(), upper);
    EXPECT_TRUE(prompts->openDialogs.isEmpty());
}

TEST(AcceptedFiles, ByExtensionWithoutRegardToCase) {
    struct Row {
        const char* path;
        bool accepted;
    };
    const Row rows[] = {{"/a/b.mp3", true}, {"/a/b.FLAC", true}, {"/a/b.M4a", true}, {"/a/b.mp4", true},
                        {"/a/b.txt", false}, {"/a/mp3", false}, {"/a.mp3/b", false}, {"/a/b.mp3.mrk", false}};
    for (const Row& row : rows)
        EXPECT_EQ(TForm1::IsAcceptedAudioFile(row.path), row.accepted) << row.path;
}
