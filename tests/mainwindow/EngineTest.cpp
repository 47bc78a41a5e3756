// The playback engine of the main window: load, play/pause, stop, end of track.

#include "MainWindowFixture.h"
#include "timeline/uTimeline.h"

#include "controls/uQrGbar.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QSignalSpy>
#include <QThread>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QFile>
#include <cmath>

namespace {

DWORD State(const TForm1& form) { return BASS_ChannelIsActive(form.Channel()); }

// Collects the areas a widget paints.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

}  // namespace

TEST_F(MainWindowTest, LoadLeavesTheFileStoppedAtZero) {
    const QString file = SineFile("tone.wav", 3.0);
    form->LoadAudioFile(file);
    ASSERT_NE(form->Channel(), 0u);
    EXPECT_EQ(State(*form), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(PositionSeconds(), 0.0);
    EXPECT_EQ(form->PlayPauseImage(), 0);
    EXPECT_EQ(form->AudioFileName(), file);
    EXPECT_EQ(form->lbName->text(), "tone.wav");
    EXPECT_EQ(form->lbName->toolTip(), file);
    EXPECT_EQ(form->lbDuration->text(), "Duration: 00:00:03.000");
    EXPECT_NEAR(form->Duration(), 3.0, 1e-6);
}

TEST_F(MainWindowTest, PlayPauseFollowsTheStateTable) {
    form->LoadAudioFile(SineFile("tone.wav", 10.0));
    struct Step {
        const char* action;
        DWORD state;
        int image;
    };
    const Step steps[] = {
        {"play", BASS_ACTIVE_PLAYING, 1}, {"play", BASS_ACTIVE_PAUSED, 0}, {"play", BASS_ACTIVE_PLAYING, 1},
        {"stop", BASS_ACTIVE_STOPPED, 0}, {"play", BASS_ACTIVE_PLAYING, 1}, {"stop", BASS_ACTIVE_STOPPED, 0},
    };
    for (const Step& step : steps) {
        if (QByteArray(step.action) == "play")
            form->btnPlayPauseClick();
        else
            form->Stop();
        EXPECT_EQ(State(*form), step.state) << step.action;
        EXPECT_EQ(form->PlayPauseImage(), step.image) << step.action;
        EXPECT_EQ(form->isPlaying(), step.state == BASS_ACTIVE_PLAYING) << step.action;
    }
}

TEST_F(MainWindowTest, StopRewindsAndPauseKeepsThePosition) {
    form->LoadAudioFile(SineFile("tone.wav", 10.0));
    form->btnPlayPauseClick();
    ASSERT_TRUE(WaitUntil([&] { return PositionSeconds() > 0.2; }));
    form->btnPlayPauseClick();
    const double paused = PositionSeconds();
    EXPECT_GT(paused, 0.2);
    form->btnPlayPauseClick();
    EXPECT_GE(PositionSeconds(), paused);
    form->Stop();
    EXPECT_EQ(PositionSeconds(), 0.0);
}

TEST_F(MainWindowTest, PlayWithNothingLoadedOpensTheOpenDialog) {
    const QString file = SineFile("tone.wav", 5.0);
    prompts->answerOpen({});
    form->btnPlayPauseClick();
    ASSERT_EQ(prompts->openDialogs.size(), 1);
    const Prompts::FileDialog& dialog = prompts->openDialogs.first();
    EXPECT_EQ(dialog.filters.value(dialog.filterIndex),
              "All Supported Files (*.mp3 *.wav *.wma *.ogg *.flac *.mp4 *.m4a)");
    EXPECT_EQ(dialog.filters.size(), 8);
    EXPECT_EQ(form->Channel(), 0u);

    prompts->answerOpen({file});
    form->btnPlayPauseClick();
    EXPECT_EQ(prompts->openDialogs.size(), 2);
    EXPECT_EQ(form->AudioFileName(), file);
    EXPECT_TRUE(form->isPlaying());
}

TEST_F(MainWindowTest, RefusedFileKeepsThePreviousLabelsAndName) {
    const QString good = SineFile("good.wav", 2.0);
    const QString bad = dir.filePath("bad.mp3");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not audio at all");
    }
    form->LoadAudioFile(good);
    form->Timer1Timer();
    QCoreApplication::processEvents();
    const QString name = form->lbName->text();
    const QString duration = form->lbDuration->text();
    PaintRecorder recorder(form->PaintBox1);
    form->LoadAudioFile(bad);
    QCoreApplication::processEvents();
    // The old picture does not stay on screen.
    EXPECT_TRUE(form->PaintBox1->visibleRegion().subtracted(recorder.painted).isEmpty());
    EXPECT_EQ(form->Channel(), 0u);
    EXPECT_EQ(form->AudioFileName(), good);
    EXPECT_EQ(form->lbName->text(), name);
    EXPECT_EQ(form->lbDuration->text(), duration);
    for (HFX handle : form->EqHandles())
        EXPECT_EQ(handle, 0u);
}

TEST_F(MainWindowTest, ZoomFitsTheFileIntoTheVisibleTimeline) {
    struct Case {
        double seconds;
        double factor;
    };
    form->resize(900 + (form->width() - form->ScrollBox1->viewport()->width()), form->height());
    QCoreApplication::processEvents();
    ASSERT_EQ(form->ScrollBox1->viewport()->width(), 900);
    for (const Case& c : {Case{2.0, 320.0}, Case{60.0, 15.0}}) {
        form->LoadAudioFile(SineFile(QString("fit%1.wav").arg(c.seconds), c.seconds));
        EXPECT_DOUBLE_EQ(form->FZoomFactor, c.factor) << c.seconds;
        EXPECT_DOUBLE_EQ(form->FZoomExponent, std::log10(c.factor)) << c.seconds;
        EXPECT_DOUBLE_EQ(form->MarkerClickToleranceSec, 4 / c.factor) << c.seconds;
    }
}

TEST_F(MainWindowTest, TickShowsThePositionWithMilliseconds) {
    form->LoadAudioFile(SineFile("tone.wav", 3.0));
    form->Timer1Timer();
    EXPECT_EQ(form->lbPosition->text(), "00:00:00.000");
    BASS_ChannelSetPosition(form->Channel(), BASS_ChannelSeconds2Bytes(form->Channel(), 1.25), BASS_POS_BYTE);
    form->Timer1Timer();
    EXPECT_EQ(form->lbPosition->text(), "00:00:01.250");
    EXPECT_EQ(form->gbIUv->Value(), 0);  // not playing: no level
}

// The tick repaints the whole timeline after a marker change, only the play
// head's old and new columns when it moved, and nothing when all stayed.
TEST_F(MainWindowTest, TickRepaintsWhatChangedOfTheTimeline) {
    form->LoadAudioFile(SineFile("tone.wav", 3.0));
    form->Timer1Timer();
    QCoreApplication::processEvents();
    TimelinePaintBox* box = form->PaintBox1;
    PaintRecorder recorder(box);
    auto tick = [&] {
        recorder.painted = QRegion();
        form->Timer1Timer();
        QCoreApplication::processEvents();
        return recorder.painted;
    };

    EXPECT_TRUE(tick().isEmpty());

    BASS_ChannelSetPosition(form->Channel(), BASS_ChannelSeconds2Bytes(form->Channel(), 1.5), BASS_POS_BYTE);
    const QRegion moved = tick();
    const int head = int(std::lround(1.5 * form->FZoomFactor - box->origin()));
    EXPECT_TRUE(moved.contains(QRect(head - 1, 0, 3, box->height())));
    EXPECT_TRUE(moved.contains(QRect(0, 0, 2, box->height())));  // where the head was
    EXPECT_LT(moved.boundingRect().width() - head, 10);

    form->FMarkers.append(TMarker{0.5, QStringLiteral("new")});
    EXPECT_TRUE(tick().contains(box->rect()));
    EXPECT_TRUE(tick().isEmpty());
    form->FMarkers.last().Time = 2.0;  // a drag moves a marker without asking for a repaint
    EXPECT_TRUE(tick().contains(box->rect()));
}

TEST_F(MainWindowTest, LevelMeterShowsThePeakWhilePlaying) {
    form->LoadAudioFile(SineFile("tone.wav", 5.0));
    form->btnPlayPauseClick();
    // -6 dBFS sine: about half of full scale.
    ASSERT_TRUE(WaitUntil([&] {
        form->Timer1Timer();
        return form->gbIUv->Value() > 0;
    }));
    EXPECT_NEAR(form->gbIUv->Value(), 50, 2);
}

TEST_F(MainWindowTest, AutoStopBoxSetToItsOwnStateRunsNothing) {
    QSignalSpy toggled(form->CheckBox1, &QCheckBox::toggled);
    ASSERT_TRUE(form->CheckBox1->isChecked());
    EXPECT_NE(form->AutoStop(), 0);
    form->SetAutoStop(-1);
    EXPECT_EQ(toggled.count(), 0);
    form->SetAutoStop(0);
    EXPECT_EQ(toggled.count(), 1);
    EXPECT_FALSE(form->CheckBox1->isChecked());
    EXPECT_EQ(form->AutoStop(), 0);
    form->CheckBox1->click();
    EXPECT_EQ(form->AutoStop(), -1);
}

TEST_F(UntimedMainWindowTest, EndOfTrackLeavesTheFileLoadedAtZero) {
    for (const BOOL autoStop : {BOOL(-1), BOOL(0)}) {
        form->SetAutoStop(autoStop);
        const QString file = SineFile("end.wav", 1.0);
        form->LoadAudioFile(file);
        form->btnPlayPauseClick();
        ASSERT_EQ(form->PlayPauseImage(), 1);
        ASSERT_TRUE(WaitUntil([&] { return form->PlayPauseImage() == 0; })) << autoStop;
        EXPECT_EQ(form->AudioFileName(), file);
        EXPECT_NE(form->Channel(), 0u);
        EXPECT_EQ(State(*form), BASS_ACTIVE_STOPPED);
        EXPECT_EQ(PositionSeconds(), 0.0);
    }
}

TEST_F(UntimedMainWindowTest, EndOfAReplacedStreamIsDropped) {
    form->LoadAudioFile(SineFile("first.wav", 0.5));
    const QString second = SineFile("second.wav", 3.0);
    form->btnPlayPauseClick();
    // The first stream ends on the library thread while the event loop does
    // not run, so its end waits in the queue while the next file is loaded.
    QElapsedTimer timer;
    timer.start();
    while (State(*form) != BASS_ACTIVE_STOPPED && timer.elapsed() < 5000)
        QThread::msleep(5);
    QThread::msleep(100);
    form->LoadAudioFile(second);
    BASS_ChannelSetPosition(form->Channel(), BASS_ChannelSeconds2Bytes(form->Channel(), 1.0), BASS_POS_BYTE);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_NEAR(PositionSeconds(), 1.0, 1e-6);
}
