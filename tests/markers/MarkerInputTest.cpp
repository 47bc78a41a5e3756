// The marker commands as the user reaches them in the window: keys, both
// menus, the mouse on the list and on the timeline, the wheel.

#include "MarkerWindow.h"
#include "ScriptedPrompts.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/uTimeline.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>

namespace {

using Answer = Prompts::Answer;

// A shown window with a 60 s file, paused at 0 s.
class ShownMarkerWindow : public MarkerWindow {
public:
    explicit ShownMarkerWindow(bool load = true) {
        form().show();
        if (load)
            loadSilence(60);
    }
};

void turnWheel(QWidget* over, int delta) {
    const QPoint local = over->rect().center();
    QWheelEvent wheel(local, over->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &wheel);
}

TEST(MarkerInput, KeysMAndDeleteReachTheCommandsFromTheList) {
    ScriptedPrompts prompts;
    ShownMarkerWindow w;
    QWidget* focused = w.form().lvMarkers;
    w.seek(12.0);
    QTest::keyClick(focused, Qt::Key_M);
    ASSERT_EQ(w.markerTimes(), QList<double>({12.0}));
    EXPECT_EQ(w.column(MarkerListModel::ColTimeCode), QStringList({"00:00:12.000"}));
    EXPECT_TRUE(w.form().MarkersChanged());
    EXPECT_TRUE(w.form().btnSaveMarkers->isEnabled());

    w.form().btnSaveMarkersClick();
    prompts.answer(Answer::Ok);
    QTest::keyClick(focused, Qt::Key_Delete);
    EXPECT_TRUE(w.markerTimes().isEmpty());
    EXPECT_TRUE(w.column(MarkerListModel::ColTimeCode).isEmpty());
    EXPECT_EQ(prompts.texts(), QStringList({"Are you sure to delete this Marker?"}));
    EXPECT_TRUE(w.form().MarkersChanged());
}

TEST(MarkerInput, TimelineMenuRunsTheMarkerCommands) {
    struct Case {
        const char* item;
        std::function<QAction*(TForm1&)> action;
        QStringList asked;
        QList<double> remaining;
    };
    const Case cases[] = {
        {"drop marker", [](TForm1& f) { return f.DropMarkerPlayPosition1; }, {}, {10.0, 14.0, 20.0}},
        {"delete near the play head", [](TForm1& f) { return f.miDeleteMarkerTL; },
         {"Are you sure to delete this Marker?"}, {20.0}},
        {"delete all", [](TForm1& f) { return f.miDeleteAllMarkers; },
         {"Are you sure to delete all markers?"}, {}},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        ShownMarkerWindow w;
        w.setMarkers({10.0, 20.0});
        w.seek(14.0);
        QAction* action = c.action(w.form());
        ASSERT_TRUE(action->isEnabled()) << c.item;
        prompts.answer(Answer::Ok);
        action->trigger();
        EXPECT_EQ(w.markerTimes(), c.remaining) << c.item;
        EXPECT_EQ(w.column(MarkerListModel::ColTimeCode).size(), c.remaining.size()) << c.item;
        EXPECT_EQ(prompts.texts(), c.asked) << c.item;
        EXPECT_TRUE(w.form().MarkersChanged()) << c.item;
    }
}

TEST(MarkerInput, DoubleClickOnARowJumpsToItsMarker) {
    ShownMarkerWindow w;
    w.setMarkers({5.0, 42.5});
    QTableView* view = w.form().lvMarkers;
    const QPoint row = view->visualRect(w.form().lvMarkersRows->index(1, 1)).center();
    // As the desktop delivers it: press, release, then the double click.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    EXPECT_NEAR(w.position(), 42.5, 0.01);
    EXPECT_EQ(w.form().SelectedMarkerRow(), 1);
}

TEST(MarkerInput, DragOnAScrolledTimelineMovesTheMarkerInPicturePixels) {
    ScriptedPrompts prompts;
    ShownMarkerWindow w;
    TForm1& f = w.form();
    f.FZoomExponent = TimelineZoom::kMaxExponent;
    f.FZoomFactor = 320.0;
    f.MarkerClickToleranceSec = MarkerClickToleranceFor(320.0);
    f.UpdateTimelineWidth();
    f.ScrollBox1->setHorzPosition(16000);
    ASSERT_EQ(f.ScrollBox1->horzPosition(), 16000);
    w.setMarkers({5.0, 16100 / 320.0});  // the second one 100 pixels into the view

    QWidget* strip = f.PaintBox1;
    QTest::mousePress(strip, Qt::LeftButton, Qt::NoModifier, QPoint(101, 30));
    ASSERT_EQ(f.FDraggingMarkerIndex, 1);
    QTest::mouseMove(strip, QPoint(200, 30));
    QTest::mouseMove(strip, QPoint(420, 30));
    QTest::mouseRelease(strip, Qt::LeftButton, Qt::NoModifier, QPoint(420, 30));

    EXPECT_EQ(w.markerTimes(), QList<double>({5.0, 16420 / 320.0}));
    EXPECT_EQ(w.column(MarkerListModel::ColTimeCode).value(1), "00:00:51.312");
    EXPECT_NEAR(w.position(), 16420 / 320.0, 0.001);
    EXPECT_TRUE(f.MarkersChanged());
    EXPECT_TRUE(prompts.asked.isEmpty());

    // Locked: the same press seeks and drags nothing.
    f.miLock->trigger();
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(420, 30));
    EXPECT_EQ(f.FDraggingMarkerIndex, -1);
    EXPECT_EQ(w.markerTimes(), QList<double>({5.0, 16420 / 320.0}));
}

TEST(MarkerInput, WheelOverTheTimelineUnchecksAutoScroll) {
    for (bool loaded : {false, true}) {
        ShownMarkerWindow w(loaded);
        TForm1& f = w.form();
        f.cbAutoScroll->setChecked(true);
        const double exponent = f.FZoomExponent;
        turnWheel(f.PaintBox1, 120);
        EXPECT_FALSE(f.cbAutoScroll->isChecked()) << "loaded " << loaded;
        if (loaded) {
            EXPECT_NEAR(f.FZoomExponent, exponent + 0.1, 1e-9) << "the wheel zooms";
            EXPECT_EQ(f.LbZoomFactor->text(), ZoomLabelText(f.FZoomFactor));
        } else {
            EXPECT_EQ(f.FZoomExponent, exponent);
        }
    }
}

TEST(MarkerInput, OpenButtonAsksAboutUnsavedMarkersBeforeItsDialog) {
    ScriptedPrompts prompts;
    ShownMarkerWindow w;
    w.setMarkers({1.0});
    w.form().SetMarkersChanged(true);
    prompts.answer(Answer::Cancel);
    QTest::mouseClick(w.form().btnOpenFile, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList({"Would You like to Save your Markers?"}));
    EXPECT_TRUE(prompts.openDialogs.isEmpty()) << "Cancel ends the opening";
    EXPECT_EQ(w.markerTimes(), QList<double>({1.0}));
}

}  // namespace
