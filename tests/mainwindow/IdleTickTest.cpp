// The position tick sleeps while nothing it shows can change (paused,
// stopped, no file) and wakes for play, seeks and any input.

#include "MainWindowFixture.h"

#include "mainwindow/MprisMainWindow.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace {

using IdleTick = MainWindowTest;

TEST_F(IdleTick, SleepsWhenStillAndWakesForPlaySeekAndInput) {
    const auto asleep = [&] { return !form->Timer1->isActive(); };
    ASSERT_TRUE(WaitUntil(asleep)) << "the tick runs with no file";
    form->LoadAudioFile(SineFile("song.wav", 3.0));
    ASSERT_TRUE(WaitUntil(asleep)) << "the tick runs with a stopped file";

    form->btnPlayPauseClick();
    ASSERT_TRUE(form->Timer1->isActive());
    ASSERT_TRUE(WaitUntil([&] { return PositionSeconds() > 0.2; }));
    EXPECT_TRUE(form->Timer1->isActive()) << "the tick slept while playing";
    form->btnPlayPauseClick();
    ASSERT_TRUE(WaitUntil(asleep)) << "the tick runs while paused";

    // A seek from the desktop while paused shows the new place.
    MprisMainWindow desktop(*form);
    desktop.setPositionSeconds(1.5);
    EXPECT_TRUE(form->Timer1->isActive());
    ASSERT_TRUE(WaitUntil(asleep));
    EXPECT_EQ(form->lbPosition->text(), "00:00:01.500");

    // So does any key or click, whatever it does.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &key);
    EXPECT_TRUE(form->Timer1->isActive());
}

}  // namespace
