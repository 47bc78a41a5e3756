#include "controls/uMessage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {

// Notes when the notice hides, measured from the test's clock.
struct HideClock : QObject {
    QElapsedTimer clock;
    qint64 hiddenAt = -1;
    explicit HideClock(QWidget* w) {
        w->installEventFilter(this);
        clock.start();
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Hide && hiddenAt < 0)
            hiddenAt = clock.elapsed();
        return false;
    }
};

void click(QWidget* w) {
    const QPointF p(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

}  // namespace

TEST(TfrmMsg, SizesToTheLabelAndKeepsThePlaceGiven) {
    TfrmMsg msg;
    msg.ShowMessageTimeout("one line", 5000, QPoint(-30, -10));
    EXPECT_TRUE(msg.isVisible());
    EXPECT_EQ(msg.pos(), QPoint(-30, -10)) << "never moved into the screen";
    EXPECT_EQ(msg.size(), msg.Label1->size() + QSize(25, 20));
    EXPECT_EQ(msg.Label1->pos(), QPoint(8, 8));
    EXPECT_EQ(msg.Label1->font().pixelSize(), 15);
    const int oneLine = msg.Label1->height();

    msg.ShowMessageTimeout("first\rsecond", 5000, QPoint(100, 50));
    EXPECT_EQ(msg.Label1->text(), "first\nsecond");
    EXPECT_GT(msg.Label1->height(), oneLine + oneLine / 2) << "two lines";
    EXPECT_EQ(msg.height(), msg.Label1->height() + 20);
    EXPECT_EQ(msg.pos(), QPoint(100, 50));
}

TEST(TfrmMsg, TextIsShownAsItStands) {
    TfrmMsg msg;
    msg.ShowMessageTimeout("<b>a&b</b>.mp3", 5000, {});
    EXPECT_EQ(msg.Label1->textFormat(), Qt::PlainText);
}

TEST(TfrmMsg, ZeroOrNegativeTimeShowsNothing) {
    for (int timeout : {0, -5}) {
        TfrmMsg msg;
        msg.ShowMessageTimeout("quiet", timeout, QPoint(10, 10));
        EXPECT_FALSE(msg.isVisible()) << timeout;
        EXPECT_FALSE(msg.Timer1->isActive()) << timeout;
        EXPECT_EQ(msg.pos(), QPoint(10, 10)) << "still sized and placed";
    }
}

TEST(TfrmMsg, HidesWhenTheTimeIsUp) {
    TfrmMsg msg;
    HideClock hide(&msg);
    msg.ShowMessageTimeout("short", 100, {});
    QTRY_VERIFY_WITH_TIMEOUT(!msg.isVisible(), 3000);
    EXPECT_GE(hide.hiddenAt, 90);
    EXPECT_FALSE(msg.Timer1->isActive());
}

TEST(TfrmMsg, SameTimeAgainDoesNotRestartTheCountdown) {
    TfrmMsg msg;
    HideClock hide(&msg);
    msg.ShowMessageTimeout("first", 1000, {});
    QTest::qWait(300);
    const qint64 secondAt = hide.clock.elapsed();
    msg.ShowMessageTimeout("second", 1000, {});
    QTRY_VERIFY_WITH_TIMEOUT(!msg.isVisible(), 3000);
    EXPECT_LT(hide.hiddenAt - secondAt, 900) << "the second text goes with the first countdown";
}

TEST(TfrmMsg, ADifferentTimeRestartsTheCountdown) {
    TfrmMsg msg;
    HideClock hide(&msg);
    msg.ShowMessageTimeout("first", 200, {});
    QTest::qWait(100);
    const qint64 secondAt = hide.clock.elapsed();
    msg.ShowMessageTimeout("second", 600, {});
    QTRY_VERIFY_WITH_TIMEOUT(!msg.isVisible(), 3000);
    EXPECT_GE(hide.hiddenAt - secondAt, 590);
}

TEST(TfrmMsg, ClickOnTextOrPanelClosesAtOnceButLeavesTheTimer) {
    for (bool onLabel : {true, false}) {
        TfrmMsg msg;
        msg.ShowMessageTimeout("click me", 400, {});
        click(onLabel ? static_cast<QWidget*>(msg.Label1) : msg.Panel1);
        EXPECT_FALSE(msg.isVisible()) << onLabel;
        EXPECT_TRUE(msg.Timer1->isActive()) << onLabel;
    }
}

TEST(TfrmMsg, NoticeAfterAClickEndsWithTheOldCountdown) {
    TfrmMsg msg;
    HideClock hide(&msg);
    msg.ShowMessageTimeout("first", 1000, {});
    click(msg.Label1);
    QTest::qWait(300);
    hide.hiddenAt = -1;
    const qint64 secondAt = hide.clock.elapsed();
    msg.ShowMessageTimeout("second", 1000, {});
    EXPECT_TRUE(msg.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!msg.isVisible(), 3000);
    EXPECT_LT(hide.hiddenAt - secondAt, 900);
}

TEST(TfrmMsg, IsAFramelessToolWindowOnTop) {
    TfrmMsg msg;
    EXPECT_TRUE(msg.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(msg.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(msg.Panel1->toolTip(), "Click to Close");
    EXPECT_FALSE(msg.isVisible());
}
