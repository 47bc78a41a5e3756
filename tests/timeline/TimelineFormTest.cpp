// The timeline members of the main window: marker file through the window,
// zoom buttons, the scroll hook, painting and the mouse.

#include "ScriptedPrompts.h"
#include "controls/CaptionLabel.h"
#include "mainwindow/uMain.h"
#include "audio/bass.h"
#include "timeline/MarkerFile.h"
#include "timeline/MarkerListModel.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/uTimeline.h"
#include "TestWav.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QtEndian>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

// A silent 8 kHz mono 16-bit WAV of the given length.
void writeSilentWav(const QString& path, double seconds) {
    ASSERT_TRUE(WriteTestWav(path, seconds, 8000, 1));
}

class TimelineFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        prompts = std::make_unique<ScriptedPrompts>();
        form = std::make_unique<TForm1>();
        form->CreateTimelineControls(nullptr);  // does nothing when the window made them
        form->show();
        audio = dir.filePath("song.wav");
        writeSilentWav(audio, 60.0);
    }

    void TearDown() override {
        form.reset();
        prompts.reset();
    }

    // Loads the song; then 10 px/s, the scale of the mouse cases.
    void loadAtTenPixelsPerSecond() {
        form->LoadAudioFile(audio);
        ASSERT_NE(form->Channel(), 0u);
        form->FZoomExponent = 1.0;
        form->FZoomFactor = 10.0;
        form->MarkerClickToleranceSec = MarkerClickToleranceFor(10.0);
        form->UpdateTimelineWidth();
    }

    double position() const {
        return BASS_ChannelBytes2Seconds(form->Channel(), BASS_ChannelGetPosition(form->Channel(), BASS_POS_BYTE));
    }

    QString markerFile() const { return MarkerFileNameFor(audio); }

    QTemporaryDir dir;
    QString audio;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<TForm1> form;
};

// ---- changed state and the marker file ----------------------------------------------------

TEST_F(TimelineFormTest, ChangedStateShowsOnLabelAndButton) {
    form->SetMarkersChanged(true);
    EXPECT_EQ(form->lbMarkers->caption(), QString("MARKERS\rNOT SAVED"));
    EXPECT_EQ(form->lbMarkers->text(), QString("MARKERS\nNOT SAVED"));  // shown on two lines
    EXPECT_EQ(form->lbMarkers->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(form->btnSaveMarkers->isEnabled());
    form->SetMarkersChanged(false);
    EXPECT_EQ(form->lbMarkers->caption(), QString("MARKERS\rSAVED"));
    EXPECT_EQ(form->lbMarkers->palette().color(QPalette::WindowText), QColor(222, 230, 187));
    EXPECT_FALSE(form->btnSaveMarkers->isEnabled());
}

TEST_F(TimelineFormTest, LoadReadsTheMarkerFileSortedAndSaved) {
    writeAll(markerFile(), "\xEF\xBB\xBF" "20.000000,b\r\n5.000000,a,x\r\n");
    form->LoadAudioFile(audio);
    ASSERT_EQ(form->FMarkers.size(), 2);
    EXPECT_EQ(form->FMarkers[0].Description, QString("a,x"));
    EXPECT_FALSE(form->MarkersChanged());
    EXPECT_TRUE(form->FMarkersFileLoaded);

    form->FMarkers.append(TMarker{30.0, "c"});
    form->SetMarkersChanged(true);
    form->btnSaveMarkersClick();
    EXPECT_EQ(readAll(markerFile()), QByteArray("\xEF\xBB\xBF" "5.000000,a,x\r\n20.000000,b\r\n30.000000,c\r\n"));
    EXPECT_FALSE(form->MarkersChanged());
}

TEST_F(TimelineFormTest, MalformedFileStopsTheLoadAndIsKeptAsBackup) {
    const QByteArray original = "1.000000,kept\r\nbad,line\r\n3.000000,lost\r\n";
    writeAll(markerFile(), original);
    try {
        form->LoadAudioFile(audio);
        ADD_FAILURE() << "the malformed line was accepted";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), QString("'bad' is not a valid floating point value"));
    }
    ASSERT_EQ(form->FMarkers.size(), 1) << "markers before the bad line stay";
    EXPECT_FALSE(form->FMarkersFileLoaded);
    // The new file is shown whole: its name, its timeline, and the markers
    // read so far in the list as on the timeline.
    EXPECT_EQ(form->lbName->text(), QString("song.wav"));
    EXPECT_EQ(form->PaintBox1->pictureWidth(), TimelineWidthFor(60.0, form->FZoomFactor));
    EXPECT_EQ(form->lvMarkersRows->rowCount(), 1);

    form->SetMarkersChanged(true);
    form->btnSaveMarkersClick();
    EXPECT_EQ(readAll(MarkerBackupNameFor(markerFile())), original);
    EXPECT_EQ(readAll(markerFile()), QByteArray("\xEF\xBB\xBF" "1.000000,kept\r\n"));

    // Only the first save keeps a backup: the next one must not replace the
    // original with the already rewritten file.
    form->FMarkers.append(TMarker{2.0, "new"});
    form->btnSaveMarkersClick();
    EXPECT_EQ(readAll(MarkerBackupNameFor(markerFile())), original);
}

TEST_F(TimelineFormTest, MarkerFileInAnotherEncodingIsKeptAsBackup) {
    // Written by another editor in Latin-1: its text cannot be written back
    // as it was, so the first save keeps the original beside it.
    const QByteArray original = "1.000000,caf\xE9\r\n";
    writeAll(markerFile(), original);
    form->LoadAudioFile(audio);
    ASSERT_EQ(form->FMarkers.size(), 1);
    EXPECT_FALSE(form->MarkersChanged());
    EXPECT_TRUE(form->FMarkersFileLoaded);

    form->FMarkers.append(TMarker{2.0, "b"});
    form->SetMarkersChanged(true);
    form->btnSaveMarkersClick();
    EXPECT_EQ(readAll(MarkerBackupNameFor(markerFile())), original);

    // A file that is UTF-8 throughout leaves no backup.
    QFile::remove(MarkerBackupNameFor(markerFile()));
    form->LoadAudioFile(audio);
    form->SetMarkersChanged(true);
    form->btnSaveMarkersClick();
    EXPECT_FALSE(QFile::exists(MarkerBackupNameFor(markerFile())));
}

TEST_F(TimelineFormTest, FailedSaveReportsKeepsChangedAndLeavesTheOldFile) {
    const QByteArray old = "\xEF\xBB\xBF" "1.000000,old\r\n";
    writeAll(markerFile(), old);
    form->LoadAudioFile(audio);
    for (int i = 0; i < 50; ++i)
        form->FMarkers.append(TMarker{2.0 + i * 0.5, "a marker that makes the file long"});
    form->SetMarkersChanged(true);

    // A full disk: no file may grow beyond 16 bytes while saving. (A
    // read-only folder is no obstacle for root, this limit is.)
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &tiny);
    // Clicked like a user: the error reaches the application's error report.
    QTest::mouseClick(form->btnSaveMarkers, Qt::LeftButton);
    setrlimit(RLIMIT_FSIZE, &saved);

    ASSERT_EQ(prompts->asked.size(), 1);
    EXPECT_TRUE(prompts->asked[0].text.startsWith("Cannot create file \"" + markerFile() + "\". "))
        << prompts->asked[0].text.toStdString();
    EXPECT_TRUE(form->MarkersChanged());
    EXPECT_EQ(readAll(markerFile()), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file left behind";
}

TEST_F(TimelineFormTest, CloseStaysOpenWhenTheMarkerSaveFails) {
    form->LoadAudioFile(audio);
    form->FMarkers.append(TMarker{1.0, "x"});
    form->SetMarkersChanged(true);
    QDir().mkdir(markerFile());  // a folder of that name: the file cannot be created
    prompts->answer(Prompts::Answer::Yes);

    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->MarkersChanged());
    ASSERT_EQ(prompts->asked.size(), 2);
    EXPECT_TRUE(prompts->asked[1].text.startsWith("Cannot create file \"" + markerFile() + "\". "))
        << prompts->asked[1].text.toStdString();

    QDir().rmdir(markerFile());
    prompts->answer(Prompts::Answer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(readAll(markerFile()), QByteArray("\xEF\xBB\xBF" "1.000000,x\r\n"));
}

TEST_F(TimelineFormTest, ConfirmSaveMarkersTable) {
    form->LoadAudioFile(audio);
    EXPECT_TRUE(form->ConfirmSaveMarkers()) << "nothing changed";
    form->SetMarkersChanged(true);
    EXPECT_TRUE(form->ConfirmSaveMarkers()) << "no marker file and no markers: nothing to ask";
    EXPECT_TRUE(prompts->asked.isEmpty());

    form->FMarkers.append(TMarker{1.0, "x"});
    prompts->answer(Prompts::Answer::No);
    EXPECT_TRUE(form->ConfirmSaveMarkers());
    EXPECT_FALSE(QFile::exists(markerFile()));
    prompts->answer(Prompts::Answer::Cancel);
    EXPECT_FALSE(form->ConfirmSaveMarkers());
    prompts->answer(Prompts::Answer::Yes);
    EXPECT_TRUE(form->ConfirmSaveMarkers());
    EXPECT_EQ(readAll(markerFile()), QByteArray("\xEF\xBB\xBF" "1.000000,x\r\n"));
    ASSERT_EQ(prompts->asked.size(), 3);
    EXPECT_EQ(prompts->asked[0].text, QString("Would You like to Save your Markers?"));
    EXPECT_EQ(prompts->asked[0].buttons, Prompts::Buttons::YesNoCancel);
}

TEST_F(TimelineFormTest, LastPositionMarkerOnlyWhilePlaying) {
    form->LoadAudioFile(audio);
    form->SaveLastPosMarker();
    EXPECT_TRUE(form->FMarkers.isEmpty()) << "stopped: no marker";
    ASSERT_TRUE(BASS_ChannelPlay(form->Channel(), FALSE));
    QTest::qWait(100);
    form->SaveLastPosMarker();
    ASSERT_EQ(form->FMarkers.size(), 1);
    EXPECT_TRUE(form->FMarkers[0].Description.startsWith("LAST PLAYED POSITION "));
    EXPECT_TRUE(form->MarkersChanged());
    EXPECT_NE(BASS_ChannelIsActive(form->Channel()), BASS_ACTIVE_PLAYING) << "the stream is stopped";
    ASSERT_TRUE(BASS_ChannelPlay(form->Channel(), FALSE));
    form->FMarkers[0].Time = position();
    form->SaveLastPosMarker();
    EXPECT_EQ(form->FMarkers.size(), 1) << "a marker already sits there";
}

// ---- zoom, scroll hook, painting -------------------------------------------------------------

TEST_F(TimelineFormTest, ZoomButtonsNeedAFileAndStopAtTheLimits) {
    const double exponent = form->FZoomExponent;
    form->btnZoomIn->click();
    EXPECT_EQ(form->FZoomExponent, exponent) << "nothing loaded";

    loadAtTenPixelsPerSecond();
    form->btnZoomIn->click();
    EXPECT_NEAR(form->FZoomFactor, 12.589, 0.001);
    EXPECT_NEAR(form->MarkerClickToleranceSec, 4 / 12.589, 1e-4);
    EXPECT_EQ(form->LbZoomFactor->text(), QString("Zoom: 12.6"));
    EXPECT_TRUE(form->LbZoomFactor->isHidden());
    EXPECT_EQ(form->PaintBox1->pictureWidth(), TimelineWidthFor(form->Duration(), form->FZoomFactor));
    for (int i = 0; i < 40; ++i)
        form->btnZoomIn->click();
    EXPECT_DOUBLE_EQ(form->FZoomFactor, 320.0);
    EXPECT_EQ(form->PaintBox1->pictureWidth(), 19200);
    EXPECT_EQ(form->LbZoomFactor->text(), QString("Zoom: 320.0"));
}

TEST_F(TimelineFormTest, ManualScrollUnchecksAutoScroll) {
    loadAtTenPixelsPerSecond();
    form->FZoomFactor = 320.0;
    form->UpdateTimelineWidth();
    form->cbAutoScroll->setChecked(true);
    form->ScrollToPixel(5000);
    EXPECT_TRUE(form->cbAutoScroll->isChecked()) << "the program's own scrolling";
    EXPECT_EQ(form->ScrollBox1->horzPosition(), 5000 - form->ScrollBox1->clientWidth() / 8);
    form->ScrollBox1->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_FALSE(form->cbAutoScroll->isChecked());
}

TEST_F(TimelineFormTest, PaintsOnlyWithAFileLoaded) {
    const QImage empty = form->PaintBox1->grab().toImage();
    EXPECT_EQ(QColor(empty.pixel(25, 8)), QColor(0, 0, 0)) << "nothing loaded: black";
    loadAtTenPixelsPerSecond();
    form->FMarkers.append(TMarker{5.0, "m"});
    const QImage loaded = form->PaintBox1->grab().toImage();
    EXPECT_EQ(QColor(loaded.pixel(25, 8)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(loaded.pixel(50, 5)), QColor(255, 0, 0)) << "the marker at 5 s";
    EXPECT_EQ(QColor(loaded.pixel(1, 5)), QColor(0, 0, 255)) << "the play head at 0";
}

// ---- mouse ------------------------------------------------------------------------------------

TEST_F(TimelineFormTest, PressSeeksOrStartsADrag) {
    loadAtTenPixelsPerSecond();
    form->FMarkers = {{5.0, "a"}};
    form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 53, 10);
    EXPECT_EQ(form->FDraggingMarkerIndex, 0) << "a press on a marker drags it";
    EXPECT_DOUBLE_EQ(position(), 0.0) << "and does not seek";
    form->PaintBox1MouseUp(Qt::LeftButton, Qt::NoButton, 53, 10);

    form->PaintBox1MouseDown(Qt::RightButton, Qt::RightButton, 300, 10);
    EXPECT_NEAR(position(), 5.3, 1e-3) << "a right press does nothing";
    form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 300, 10);
    EXPECT_NEAR(position(), 30.0, 1e-3);
    form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 100000, 10);
    EXPECT_NEAR(position(), form->Duration(), 1e-3) << "beyond the end seeks to the end";

    form->miLock->trigger();
    EXPECT_TRUE(form->LockMarkers);
    EXPECT_TRUE(form->miLock->isChecked());
    form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 53, 10);
    EXPECT_EQ(form->FDraggingMarkerIndex, -1) << "locked markers never drag";
    EXPECT_NEAR(position(), 5.3, 1e-3);
}

TEST_F(TimelineFormTest, DragFollowsThePointerWithinTheTrack) {
    loadAtTenPixelsPerSecond();
    form->FMarkers = {{5.0, "a"}, {20.0, "b"}};
    form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 50, 10);
    form->PaintBox1MouseMove(Qt::LeftButton, -40, 10);
    EXPECT_DOUBLE_EQ(form->FMarkers[0].Time, 0.0);
    form->PaintBox1MouseMove(Qt::LeftButton, 99999, 10);
    EXPECT_DOUBLE_EQ(form->FMarkers[0].Time, form->Duration());
    form->PaintBox1MouseUp(Qt::LeftButton, Qt::NoButton, 350, 10);
    EXPECT_EQ(form->FDraggingMarkerIndex, -1);
    ASSERT_EQ(form->FMarkers.size(), 2);
    EXPECT_DOUBLE_EQ(form->FMarkers[0].Time, 20.0) << "sorted again at the drop";
    EXPECT_DOUBLE_EQ(form->FMarkers[1].Time, 35.0);
    EXPECT_NEAR(position(), 35.0, 1e-3);
    EXPECT_TRUE(form->MarkersChanged());
}

TEST_F(TimelineFormTest, RefusedDropStillSeeksAndMarksChanged) {
    loadAtTenPixelsPerSecond();
    form->FMarkers = {{5.0, "a"}, {20.0, "b"}};
    form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 50, 10);
    form->PaintBox1MouseMove(Qt::LeftButton, 200, 10);
    form->PaintBox1MouseUp(Qt::LeftButton, Qt::NoButton, 200, 10);
    EXPECT_EQ(prompts->texts(), QStringList({"Cannot place marker here: another marker exists at this time"}));
    EXPECT_NEAR(position(), 20.0, 1e-3);
    EXPECT_TRUE(form->MarkersChanged());
    EXPECT_EQ(form->FDraggingMarkerIndex, -1);
    EXPECT_DOUBLE_EQ(form->FMarkers[0].Time, 5.0) << "the marker goes back where it came from";
}

// Whatever changes the marker list while the mouse still holds a marker ends
// the drag; its release must not move whichever marker took the index.
TEST_F(TimelineFormTest, ADragEndsWhenTheMarkersChangeUnderIt) {
    loadAtTenPixelsPerSecond();
    form->FMarkers = {{5.0, "a"}, {20.0, "b"}, {40.0, "c"}};
    BASS_ChannelSetPosition(form->Channel(), BASS_ChannelSeconds2Bytes(form->Channel(), 30.0), BASS_POS_BYTE);
    form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 200, 10);
    form->PaintBox1MouseMove(Qt::LeftButton, 450, 10);
    int key = TForm1::VK_M;  // a marker at the play position, 30 s
    form->FormKeyDown(key);
    form->PaintBox1MouseUp(Qt::LeftButton, Qt::NoButton, 450, 10);
    QStringList markers;
    for (const TMarker& m : form->FMarkers)
        markers << QString("%1 %2").arg(m.Time).arg(m.Description);
    EXPECT_EQ(markers, QStringList({"5 a", "20 b", "30 Edit Description", "40 c"}));
    EXPECT_TRUE(prompts->texts().isEmpty());

    // A new file (the playlist's next track) arrives during a drag.
    form->btnSaveMarkersClick();
    form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 50, 10);
    form->PaintBox1MouseMove(Qt::LeftButton, 120, 10);
    form->LoadAudioFile(audio);
    form->PaintBox1MouseUp(Qt::LeftButton, Qt::NoButton, 120, 10);
    ASSERT_EQ(form->FMarkers.size(), 4);
    EXPECT_DOUBLE_EQ(form->FMarkers[0].Time, 5.0);
    EXPECT_FALSE(form->MarkersChanged()) << "the new file's markers are as read";

    // The release never arrives: the timeline menu opened during the drag,
    // or a pointer comes back without the button.
    form->FZoomFactor = 10.0;
    form->MarkerClickToleranceSec = MarkerClickToleranceFor(10.0);
    for (bool viaMenu : {true, false}) {
        form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 50, 10);
        form->PaintBox1MouseMove(Qt::LeftButton, 120, 10);
        if (viaMenu) {
            emit form->ScrollBox1->customContextMenuRequested(QPoint(10, 10));
            form->pmTimeline->hide();
        }
        form->PaintBox1MouseMove(Qt::NoButton, 150, 10);
        form->PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 250, 10);  // no marker: a seek
        form->PaintBox1MouseUp(Qt::LeftButton, Qt::NoButton, 250, 10);
        EXPECT_DOUBLE_EQ(form->FMarkers[0].Time, 5.0) << viaMenu;
        EXPECT_FALSE(form->MarkersChanged()) << viaMenu;
    }
}

TEST_F(TimelineFormTest, HoverShowsTheHandUnlessLocked) {
    loadAtTenPixelsPerSecond();
    form->FMarkers = {{5.0, "a"}};
    form->PaintBox1MouseMove(Qt::NoButton, 52, 10);
    EXPECT_EQ(form->PaintBox1->cursor().shape(), Qt::PointingHandCursor);
    form->PaintBox1MouseMove(Qt::NoButton, 60, 10);
    EXPECT_EQ(form->PaintBox1->cursor().shape(), Qt::ArrowCursor);
    form->LockMarkers = true;
    form->PaintBox1MouseMove(Qt::NoButton, 52, 10);
    EXPECT_EQ(form->PaintBox1->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(TimelineFormTest, TimelineMenuItemsInOrder) {
    QStringList names;
    for (QAction* action : form->pmTimeline->actions())
        names << action->objectName();
    // The described items first, the added marker export and import and the
    // loop after them.
    EXPECT_EQ(names, QStringList({"DropMarkerPlayPosition1", "miDeleteMarkerTL", "miLock", "N4", "miFileInfo", "N1",
                                  "miSettings", "N2", "miDeleteAllMarkers", "NMarkerExchangeTL",
                                  "miExportMarkersTL", "miImportMarkersTL", "NLoopTL", "miLoopTL"}));
    EXPECT_EQ(form->miLock->text(), QString("Lock Markers (Disable Drag)"));
}

}  // namespace
