// Window lifecycle: compact size, the picture switch, help, close.

#include "MainWindowFixture.h"

#include "RecordingShell.h"
#include "controls/CaptionLabel.h"
#include "controls/uQrGbar.h"

#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QSignalSpy>
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

// The speed label stays clear of every other control at any width, and the
// widest speed fits it.
TEST_F(MainWindowTest, SpeedLabelCoversNoControlAtAnyWidth) {
    auto* speed = form->findChild<QLabel*>(QStringLiteral("lbSpeed"));
    ASSERT_NE(speed, nullptr);
    for (int width : {725, 800, 841, 842, 843, 850, 856, 860, 870, 907, 1200}) {
        form->resize(width, 400);
        const QRect place = speed->geometry();
        EXPECT_LE(place.right(), width - 1) << width;
        for (QWidget* other : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other != speed && other->isVisible() && !other->isWindow()) {
                EXPECT_FALSE(place.intersects(other->geometry()))
                    << width << " " << other->objectName().toStdString();
            }
        }
        EXPECT_LE(QFontMetrics(speed->font()).horizontalAdvance(QStringLiteral("200%")), place.width()) << width;
    }
}

TEST_F(MainWindowTest, PictureIsOurImage) {
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

// Closing with unsaved markers and AutoSave off asks Yes/No/Cancel: Cancel
// keeps the window and the markers, Yes saves, No closes without saving.
TEST(MainWindowClose, SaveQuestionDecidesWhetherTheWindowCloses) {
    QTemporaryDir dir;
    const QString audio = dir.filePath("tone.wav");
    WriteSineWav(audio, 3.0);
    struct Row {
        Prompts::Answer answer;
        bool closed;
        bool saved;
    };
    for (const Row& row : {Row{Prompts::Answer::Cancel, false, false}, Row{Prompts::Answer::No, true, false},
                           Row{Prompts::Answer::Yes, true, true}}) {
        QFile::remove(audio + ".mrk");
        ScriptedPrompts prompts;
        TForm1 form;
        QSignalSpy closed(&form, &TForm1::Closed);
        form.show();
        form.LoadAudioFile(audio);
        form.btnAddMarkerClick();
        ASSERT_TRUE(form.MarkersChanged());
        prompts.answer(row.answer);
        EXPECT_EQ(form.close(), row.closed) << int(row.answer);
        EXPECT_EQ(prompts.asked.size(), 1);
        EXPECT_EQ(form.isVisible(), !row.closed);
        EXPECT_EQ(closed.size(), row.closed ? 1 : 0);
        EXPECT_EQ(QFile::exists(audio + ".mrk"), row.saved);
        if (!row.closed) {
            EXPECT_EQ(form.FMarkers.size(), 1);
            EXPECT_TRUE(form.MarkersChanged());
            EXPECT_NE(form.Channel(), 0u) << "the file stays loaded";
            prompts.answer(Prompts::Answer::No);
            form.close();
        }
    }
}

TEST(MainWindowShow, FirstShowOpensTheCommandLineFileOnce) {
    QTemporaryDir dir;
    const QString audio = dir.filePath("tone.wav");
    WriteSineWav(audio, 3.0);
    ScriptedPrompts prompts;
    TForm1 form;
    form.SetCommandLineFile(audio);
    form.show();
    ASSERT_TRUE(WaitUntil([&] { return form.isPlaying(); }));
    EXPECT_EQ(form.AudioFileName(), audio);
    form.hide();
    form.Stop();
    form.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.isPlaying()) << "a later show opens nothing";
}

TEST(MainWindowShow, MissingCommandLineFileLeadsToTheOpenDialog) {
    ScriptedPrompts prompts;
    prompts.answerOpen({});
    TForm1 form;
    form.SetCommandLineFile(QStringLiteral("/no/such/file.mp3"));
    form.show();
    ASSERT_TRUE(WaitUntil([&] { return !prompts.openDialogs.isEmpty(); }));
    EXPECT_EQ(form.Channel(), 0u);
}

// The bottom panel's buttons and the saved-state caption sit side by side,
// none cut short, none under the help button.
TEST_F(MainWindowTest, MarkerStatusPanelCaptionsFit) {
    struct Row {
        QToolButton* button;
        int iconWidth;
    };
    QWidget* row[] = {form->btnEditMarker, form->btmDeleteLvMarker, form->btnSaveMarkers, form->lbMarkers,
                      form->btnHelp};
    for (int i = 0; i + 1 < int(std::size(row)); ++i)
        EXPECT_LE(row[i]->geometry().right(), row[i + 1]->geometry().left()) << row[i]->objectName().toStdString();
    EXPECT_LE(form->btnHelp->geometry().right(), form->Panel2->width());
    const int icon = form->btnEditMarker->iconSize().width();
    const Row buttons[] = {{form->btnEditMarker, icon}, {form->btmDeleteLvMarker, icon}, {form->btnSaveMarkers, 0}};
    for (const Row& b : buttons)
        EXPECT_GE(b.button->width(), b.iconWidth + b.button->fontMetrics().horizontalAdvance(b.button->text()) + 4)
            << b.button->text().toStdString();
    const QFontMetrics metrics(form->lbMarkers->font());
    for (const char* line : {"MARKERS", "NOT SAVED"}) {
        EXPECT_GE(form->lbMarkers->width(), metrics.horizontalAdvance(QLatin1String(line))) << line;
    }
    EXPECT_GE(form->lbMarkers->height(), 2 * metrics.height());
}

TEST(FxVersion, OnlyTwoPointFourIsAccepted) {
    struct Row {
        DWORD version;
        bool accepted;
    };
    for (const Row& row : {Row{0x02040000, true}, Row{0x0204FFFF, true}, Row{0x02030000, false},
                           Row{0x02050000, false}, Row{0x00000204, false}, Row{0, false}})
        EXPECT_EQ(TForm1::IsSupportedFxVersion(row.version), row.accepted) << std::hex << row.version;
}

// The window system restores a maximized window later than it is asked to;
// the size to come back to is the restored one, not the maximized one.
TEST_F(MainWindowTest, CompactFromMaximizedRemembersTheRestoredSize) {
    form->resize(760, 300);
    QCoreApplication::processEvents();
    form->showMaximized();
    ASSERT_TRUE(WaitUntil([&] { return form->isMaximized() && form->height() > 300; }));
    form->btnCompactClick();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->size(), QSize(725, 231));
    EXPECT_EQ(QSize(form->LastWidth(), form->LastHeight()), QSize(842, 300));
}
