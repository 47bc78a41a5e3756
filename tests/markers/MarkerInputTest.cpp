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
    // 320 pixels per second: the 60 s picture is far wider than the view.
    void zoomToClosest() {
        TForm1& f = form();
        f.FZoomExponent = TimelineZoom::kMaxExponent;
        f.FZoomFactor = 320.0;
        f.MarkerClickToleranceSec = MarkerClickToleranceFor(320.0);
        f.UpdateTimelineWidth();
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
    w.zoomToClosest();
    f.ScrollBox1->setHorzPosition(16000);
    ASSERT_EQ(f.ScrollBox1->horzPosition(), 16000);
    w.setMarkers({5.0, 16100 / 320.0});  // the second one 100 pixels into the view

    QWidget* strip = f.PaintBox1;
    QTest::mousePress(strip, Qt::LeftButton, Qt::NoModifier, QPoint(100, 30));
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

// A held marker moves only once the pointer has travelled the desktop's drag
// distance, and then by the pointer's displacement over the picture, also
// when auto-scroll moves the view under a still pointer. A click on a marker
// leaves it where it was and seeks to the clicked time.
TEST(MarkerInput, HeldMarkerMovesByThePointersDisplacementOnly) {
    const int drag = QApplication::startDragDistance();
    struct Row {
        const char* name;
        int moveBy;      // pointer movement in view pixels, after the press
        int scrollBy;    // view scrolled under the still pointer, then
        double expected; // the marker's time after the release
        double seekTo;   // the play position after the release
    };
    // 320 px/s; the marker at 50 s lies 3 pixels left of the press.
    const double press = 50.0 + 3 / 320.0;
    const Row rows[] = {
        {"click in place", 0, 0, 50.0, press},
        {"jitter below the drag distance", drag - 1, 0, 50.0, press + (drag - 1) / 320.0},
        {"drag keeps the offset", drag + 40, 0, 50.0 + (drag + 40) / 320.0, 50.0 + (drag + 40) / 320.0},
        {"view scrolls under a dragged marker", drag, 200, 50.0 + (drag + 200) / 320.0,
         50.0 + (drag + 200) / 320.0},
        {"view scrolls under a held, unmoved marker", 0, 200, 50.0, press + 200 / 320.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedPrompts prompts;
        ShownMarkerWindow w;
        TForm1& f = w.form();
        w.zoomToClosest();
        f.ScrollBox1->setHorzPosition(16000 - 100);
        w.setMarkers({10.0, 50.0});  // 50 s is 100 pixels into the view
        f.SetMarkersChanged(false);

        QWidget* strip = f.PaintBox1;
        const QPoint at(103, 30);
        QTest::mousePress(strip, Qt::LeftButton, Qt::NoModifier, at);
        ASSERT_EQ(f.FDraggingMarkerIndex, 1);
        const QPoint to = at + QPoint(row.moveBy, 0);
        // In small steps, as a hand moves the mouse.
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(strip, at + QPoint(row.moveBy * step / 4, 0));
        f.ScrollBox1->setHorzPosition(f.ScrollBox1->horzPosition() + row.scrollBy);
        EXPECT_NEAR(f.FMarkers[1].Time, row.expected, 1e-9) << "before the release";
        QTest::mouseRelease(strip, Qt::LeftButton, Qt::NoModifier, to);

        EXPECT_EQ(f.FDraggingMarkerIndex, -1);
        const QList<double> times = w.markerTimes();
        ASSERT_EQ(times.size(), 2);
        EXPECT_NEAR(times[1], row.expected, 1e-9);
        EXPECT_NEAR(w.position(), row.seekTo, 0.002);
        EXPECT_EQ(f.MarkersChanged(), row.expected != 50.0);
    }
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
