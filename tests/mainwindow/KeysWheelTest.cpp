// Keyboard shortcuts and the mouse wheel of the main window.

#include "MainWindowFixture.h"
#include "timeline/uTimeline.h"

#include "controls/uQrGbar.h"
#include "playlist/uList.h"

#include "app/CaptionLabel.h"

#include <QApplication>
#include <cmath>
#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>
#include <QHelpEvent>
#include <QWheelEvent>
#include <QToolButton>
#include <QTest>

namespace {
QPoint CentreOf(QWidget* w) { return w->mapToGlobal(QPoint(w->width() / 2, w->height() / 2)); }
}  // namespace

TEST_F(MainWindowTest, NoKeyReachesAControlWhileNothingIsLoaded) {
    auto* edit = new QLineEdit(form.get());
    edit->show();
    edit->setFocus();
    QTest::keyClicks(edit, "ab m");
    QTest::keyClick(edit, Qt::Key_Left);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(form->Channel(), 0u);
    EXPECT_TRUE(prompts->openDialogs.isEmpty());  // Space did not reach Play

    form->LoadAudioFile(SineFile("tone.wav", 2.0));
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), "ab");
}

TEST_F(MainWindowTest, SpaceTogglesPlayWhateverTheModifiers) {
    form->LoadAudioFile(SineFile("tone.wav", 5.0));
    const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::ControlModifier, Qt::ShiftModifier,
                                          Qt::AltModifier};
    bool playing = false;
    for (Qt::KeyboardModifiers m : mods) {
        QTest::keyClick(form->btnStop, Qt::Key_Space, m);
        playing = !playing;
        EXPECT_EQ(form->isPlaying(), playing) << int(m);
    }
}

TEST_F(MainWindowTest, ArrowsSeekWithinTheTrack) {
    form->LoadAudioFile(SineFile("tone.wav", 4.0));
    struct Row {
        double from;
        Qt::Key key;
        double to;
    };
    // SeekTime is 1 second by default.
    const Row rows[] = {{2.0, Qt::Key_Left, 1.0}, {0.5, Qt::Key_Left, 0.0}, {2.0, Qt::Key_Right, 3.0},
                        {3.5, Qt::Key_Right, 4.0}};
    for (const Row& row : rows) {
        const DWORD ch = form->Channel();
        BASS_ChannelSetPosition(ch, BASS_ChannelSeconds2Bytes(ch, row.from), BASS_POS_BYTE);
        QTest::keyClick(form.get(), row.key, Qt::ShiftModifier);
        EXPECT_NEAR(PositionSeconds(), row.to, 1e-3) << row.from;
        EXPECT_FALSE(form->isPlaying());
    }
}

TEST(VirtualKeys, MainKeyboardPlusAndMinusOnly) {
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int vk;
    };
    const Row rows[] = {
        {Qt::Key_Equal, Qt::NoModifier, TForm1::VK_OEM_PLUS},
        {Qt::Key_Plus, Qt::ShiftModifier, TForm1::VK_OEM_PLUS},
        {Qt::Key_Minus, Qt::NoModifier, TForm1::VK_OEM_MINUS},
        {Qt::Key_Plus, Qt::KeypadModifier, TForm1::VK_OTHER},
        {Qt::Key_Minus, Qt::KeypadModifier, TForm1::VK_OTHER},
        // The keypad's arrows and Delete (Num Lock off) are the same keys.
        {Qt::Key_Left, Qt::KeypadModifier, TForm1::VK_LEFT},
        {Qt::Key_Right, Qt::KeypadModifier, TForm1::VK_RIGHT},
        {Qt::Key_Delete, Qt::KeypadModifier, TForm1::VK_DELETE},
        {Qt::Key_M, Qt::ControlModifier, TForm1::VK_M},
        {Qt::Key_L, Qt::NoModifier, TForm1::VK_L},
        {Qt::Key_A, Qt::NoModifier, TForm1::VK_OTHER},
    };
    for (const Row& row : rows) {
        QKeyEvent event(QEvent::KeyPress, row.key, row.mods);
        EXPECT_EQ(TForm1::VirtualKeyOf(event), row.vk) << row.key;
    }
}

TEST_F(MainWindowTest, WheelStepsTheVolumeBarWithinItsRange) {
    struct Row {
        QWidget* over;
        int from;
        int delta;
        int to;
    };
    const Row rows[] = {{form->tbVolume, 99, 120, 100}, {form->tbVolume, 1, -120, 0},
                        {form->tbVolume, 50, 0, 48}, {form->lbVolume, 50, 120, 52}};
    for (const Row& row : rows) {
        form->tbVolume->SetValue(row.from);
        EXPECT_TRUE(form->FormMouseWheel(row.delta, CentreOf(row.over)));
        EXPECT_EQ(form->tbVolume->Value(), row.to) << row.from << " " << row.delta;
    }
}

TEST_F(MainWindowTest, WheelStepsABandAndUpdatesItsHint) {
    EXPECT_TRUE(form->FormMouseWheel(120, CentreOf(form->eq6)));
    EXPECT_EQ(form->eq6->Value(), 13);
    EXPECT_EQ(form->eq6->toolTip(), "2000Hz 1db");
    EXPECT_TRUE(form->FormMouseWheel(-120, CentreOf(form->eq6)));
    EXPECT_TRUE(form->FormMouseWheel(-120, CentreOf(form->eq6)));
    EXPECT_EQ(form->eq6->toolTip(), "2000Hz -1db");
}

// The hint of a band, shown by a wheel turn or by hovering, covers no band
// and takes no input, so the next notch over the next band reaches it.
TEST_F(MainWindowTest, BandHintLeavesEveryBandFree) {
    auto shownHint = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowType() == Qt::ToolTip)
                return w;
        return static_cast<QWidget*>(nullptr);
    };
    for (bool hover : {false, true}) {
        for (TQrGbar* bar : form->tbEQ) {
            SCOPED_TRACE(testing::Message() << (hover ? "hover over " : "wheel over ")
                                            << bar->objectName().toStdString());
            if (hover) {
                QHelpEvent tip(QEvent::ToolTip, QPoint(bar->width() / 2, bar->height() / 2), CentreOf(bar));
                QApplication::sendEvent(bar, &tip);
            } else {
                ASSERT_TRUE(form->FormMouseWheel(120, CentreOf(bar)));
            }
            QWidget* hint = shownHint();
            ASSERT_NE(hint, nullptr);
            EXPECT_TRUE(hint->windowFlags().testFlag(Qt::WindowTransparentForInput));
            for (TQrGbar* other : form->tbEQ)
                EXPECT_FALSE(hint->frameGeometry().intersects(QRect(other->mapToGlobal(QPoint()), other->size())))
                    << "covers " << other->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, WheelOverTheTimelineNeedsALoadedFile) {
    EXPECT_FALSE(form->FormMouseWheel(120, CentreOf(form->ScrollBox1->viewport())));
}

TEST_F(MainWindowTest, LOpensThePlayListEvenWithNothingLoaded) {
    ASSERT_NE(frmList(), nullptr);
    frmList()->hide();
    QTest::keyClick(form->lvMarkers, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(frmList()->isVisible());
    frmList()->hide();
}

// Every shortcut reaches its command, whichever control has the focus.
TEST_F(MainWindowTest, KeysRunTheMarkerAndZoomCommands) {
    form->LoadAudioFile(SineFile("tone.wav", 20.0));
    const DWORD ch = form->Channel();
    BASS_ChannelSetPosition(ch, BASS_ChannelSeconds2Bytes(ch, 2.0), BASS_POS_BYTE);
    QWidget* focus = form->lvMarkers;

    QTest::keyClick(focus, Qt::Key_M);
    ASSERT_EQ(form->FMarkers.size(), 1);
    EXPECT_NEAR(form->FMarkers[0].Time, 2.0, 1e-3);
    EXPECT_TRUE(form->MarkersChanged());

    prompts->answer(Prompts::Answer::Cancel);
    QTest::keyClick(focus, Qt::Key_Delete);
    EXPECT_EQ(form->FMarkers.size(), 1);
    prompts->answer(Prompts::Answer::Ok);
    QTest::keyClick(focus, Qt::Key_Delete);
    EXPECT_TRUE(form->FMarkers.isEmpty());

    const double start = form->FZoomExponent;
    QTest::keyClick(focus, Qt::Key_Equal);
    EXPECT_GT(form->FZoomExponent, start);
    QTest::keyClick(focus, Qt::Key_Minus);
    EXPECT_NEAR(form->FZoomExponent, start, 1e-9);
    QTest::keyClick(focus, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(focus, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_NEAR(form->FZoomExponent, start, 1e-9) << "keypad plus and minus do not zoom";
}

TEST_F(MainWindowTest, WheelOverTheTimelineZoomsWithinItsLimits) {
    form->LoadAudioFile(SineFile("tone.wav", 2.0));
    form->cbAutoScroll->setChecked(true);
    const QPoint timeline = CentreOf(form->ScrollBox1->viewport());
    const double start = form->FZoomExponent;
    EXPECT_TRUE(form->FormMouseWheel(120, timeline));
    EXPECT_NEAR(form->FZoomExponent, std::min(start + 0.1, std::log10(320.0)), 1e-9);
    EXPECT_NEAR(form->FZoomFactor, std::pow(10.0, form->FZoomExponent), 1e-9);
    EXPECT_FALSE(form->cbAutoScroll->isChecked());
    for (int i = 0; i < 40; ++i)
        form->FormMouseWheel(120, timeline);
    EXPECT_NEAR(form->FZoomFactor, 320.0, 1e-9);
    // The hidden zoom label writes the factor in the user's number format.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    form->FormMouseWheel(120, timeline);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(form->LbZoomFactor->text(), QString("Zoom: 320,0"));
    for (int i = 0; i < 60; ++i)
        form->FormMouseWheel(-120, timeline);
    EXPECT_NEAR(form->FZoomFactor, 0.01, 1e-12);
}

// Zooming in near the end of the track: the picture grows first, so the
// view can follow the play head into the new part of the picture.
TEST_F(MainWindowTest, WheelZoomKeepsThePlayHeadInView) {
    form->LoadAudioFile(SineFile("tone.wav", 20.0));
    const DWORD ch = form->Channel();
    BASS_ChannelSetPosition(ch, BASS_ChannelSeconds2Bytes(ch, 19.8), BASS_POS_BYTE);
    const QPoint timeline = CentreOf(form->ScrollBox1->viewport());
    for (int turn = 0; turn < 3; ++turn) {
        ASSERT_TRUE(form->FormMouseWheel(120, timeline));
        const qint64 head = std::llround(PositionSeconds() * form->FZoomFactor);
        const qint64 left = form->ScrollBox1->horzPosition();
        EXPECT_GE(head, left) << turn;
        EXPECT_LT(head, left + form->ScrollBox1->clientWidth()) << turn;
    }
}

// A sideways scroll and the empty events that open and close a touchpad
// gesture are not turns: they must not lower the volume or a band.
TEST_F(MainWindowTest, OnlyVerticalWheelEventsTurn) {
    form->tbVolume->SetValue(50);
    const QPoint local(form->tbVolume->width() / 2, form->tbVolume->height() / 2);
    const QPoint global = form->tbVolume->mapToGlobal(local);
    auto send = [&](QPoint delta) {
        QWheelEvent event(local, global, QPoint(), delta, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->tbVolume, &event);
    };
    send(QPoint(120, 0));
    send(QPoint(0, 0));
    EXPECT_EQ(form->tbVolume->Value(), 50);
    send(QPoint(0, -120));
    EXPECT_EQ(form->tbVolume->Value(), 48);
}
