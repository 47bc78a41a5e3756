#include "controls/uQrGbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

using QrGbar::State;

namespace {

State bar(TgbDirection direction, bool border, int max, int value = 0) {
    State s;
    s.Direction = direction;
    s.Border = border;
    s.Max = max;
    s.Value = value;
    return s;
}

}  // namespace

TEST(QrGbarMapping, ValueToPixelTable) {
    struct Row {
        const char* name;
        State s;
        int w, h, value, pixel;
    };
    const Row rows[] = {
        {"empty bar sits on the frame", bar(gbdHorisontal, true, 100), 200, 12, 0, 1},
        {"full bar fills the frame's inside", bar(gbdHorisontal, true, 100), 200, 12, 100, 199},
        {"half", bar(gbdHorisontal, true, 100), 200, 12, 50, 100},
        {"148.5 rounds to even 148", bar(gbdHorisontal, true, 100), 200, 12, 75, 149},
        {"vertical 118.5 rounds to 118", bar(gbdVertical, true, 100), 14, 239, 50, 119},
        {"vertical full with border", bar(gbdVertical, true, 100), 14, 239, 100, 1},
        {"vertical empty with border", bar(gbdVertical, true, 100), 14, 239, 0, 238},
        {"vertical full without border", bar(gbdVertical, false, 24), 12, 40, 24, 0},
        {"vertical empty without border", bar(gbdVertical, false, 24), 12, 40, 0, 40},
        {"vertical half without border", bar(gbdVertical, false, 24), 12, 40, 12, 20},
        {"2.5 rounds down to even", bar(gbdHorisontal, false, 4), 10, 5, 1, 2},
        {"7.5 rounds up to even", bar(gbdHorisontal, false, 4), 10, 5, 3, 8},
        {"6.67 rounds to 7", bar(gbdHorisontal, false, 3), 10, 5, 2, 7},
    };
    for (const Row& r : rows)
        EXPECT_EQ(QrGbar::ValueToPixel(r.s, r.w, r.h, r.value), r.pixel) << r.name;
}

TEST(QrGbarMapping, PixelToValueTable) {
    struct Row {
        const char* name;
        State s;
        int w, h, c, value;
    };
    const State eq = bar(gbdVertical, false, 24);
    const State volume = bar(gbdHorisontal, true, 100);
    const Row rows[] = {
        {"top of an eq band is its maximum", eq, 12, 40, 0, 24},
        {"bottom is 0", eq, 12, 40, 40, 0},
        {"above the bar: 27 capped to 24", eq, 12, 40, -5, 24},
        {"below the bar: -6 is left to the setter", eq, 12, 40, 50, -6},
        {"first inner pixel", volume, 200, 12, 1, 0},
        {"last inner pixel", volume, 200, 12, 199, 100},
        {"left of the bar", volume, 200, 12, 0, -1},
        {"right of the bar, capped", volume, 200, 12, 500, 100},
        {"middle", volume, 200, 12, 100, 50},
        {"2.5 rounds to 2", bar(gbdHorisontal, true, 5), 12, 4, 6, 2},
        {"3.5 rounds to 4", bar(gbdHorisontal, true, 5), 12, 4, 8, 4},
        {"vertical with border", bar(gbdVertical, true, 100), 14, 239, 119, 50},
        {"a bar too short to point at keeps its value", bar(gbdHorisontal, true, 10, 7), 2, 5, 1, 7},
    };
    for (const Row& r : rows)
        EXPECT_EQ(QrGbar::PixelToValue(r.s, r.w, r.h, r.c), r.value) << r.name;
}

TEST(QrGbarRender, HorizontalWithFrame) {
    State s = bar(gbdHorisontal, true, 100, 75);
    s.BorderColor = clSilver;
    s.BarColor = clLime;
    s.BgColor = 0x3E3E3E;
    const QImage img = QrGbar::Render(s, {200, 12});
    const QColor frame = ToQColor(clSilver), fill = ToQColor(clLime), back = ToQColor(0x3E3E3E);
    struct Px {
        int x, y;
        QColor c;
    };
    for (const Px& p : {Px{0, 0, frame}, Px{199, 11, frame}, Px{0, 5, frame}, Px{100, 0, frame},
                        Px{1, 1, fill}, Px{148, 10, fill}, Px{149, 1, back}, Px{198, 10, back}})
        EXPECT_EQ(img.pixelColor(p.x, p.y), p.c) << p.x << "," << p.y;
}

TEST(QrGbarRender, VerticalWithoutFrame) {
    State s = bar(gbdVertical, false, 24, 12);
    s.BarColor = 0x0000FF;  // red in 0x00BBGGRR
    s.BgColor = 0x2C2C2C;
    const QImage img = QrGbar::Render(s, {12, 40});
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0x2C, 0x2C, 0x2C));
    EXPECT_EQ(img.pixelColor(11, 19), QColor(0x2C, 0x2C, 0x2C));
    EXPECT_EQ(img.pixelColor(0, 20), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(11, 39), QColor(Qt::red));

    s.Value = 0;  // empty: no bar pixel at all
    const QImage empty = QrGbar::Render(s, {12, 40});
    EXPECT_EQ(empty.pixelColor(5, 39), QColor(0x2C, 0x2C, 0x2C));
    s.Value = 24;  // full
    const QImage full = QrGbar::Render(s, {12, 40});
    EXPECT_EQ(full.pixelColor(5, 0), QColor(Qt::red));
}

class QrGbarControl : public ::testing::Test {
protected:
    void SetUp() override {
        g.resize(12, 40);
        g.SetDirection(gbdVertical);
        g.SetBorder(false);
        g.SetMax(24);
        for (auto sig : {&TQrGbar::OnStartChange, &TQrGbar::OnChange, &TQrGbar::OnEndChange,
                         &TQrGbar::OnClick})
            QObject::connect(&g, sig, &g, [this, sig](TQrGbar* sender) {
                EXPECT_EQ(sender, &g);
                log << (sig == &TQrGbar::OnStartChange ? "start"
                        : sig == &TQrGbar::OnChange    ? QString("change%1").arg(g.Value())
                        : sig == &TQrGbar::OnEndChange ? "end"
                                                       : "click");
            });
        QObject::connect(&g, &TQrGbar::OnMouseDown, &g, [this](TQrGbar*, Qt::MouseButton, QPoint) { log << "down"; });
        QObject::connect(&g, &TQrGbar::OnMouseUp, &g, [this](TQrGbar*, Qt::MouseButton, QPoint) { log << "up"; });
    }

    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(pos), g.mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&g, &e);
    }

    TQrGbar g;
    QStringList log;
};

TEST_F(QrGbarControl, ConstructedAsDocumented) {
    TQrGbar fresh;
    EXPECT_EQ(fresh.size(), QSize(200, 12));
    EXPECT_TRUE(fresh.Border());
    EXPECT_EQ(fresh.Direction(), gbdHorisontal);
    EXPECT_EQ(fresh.BarColor(), clNavy);
    EXPECT_EQ(fresh.BorderColor(), clBlack);
    EXPECT_EQ(fresh.BgColor(), clWhite);
    EXPECT_EQ(fresh.Max(), 100);
    EXPECT_EQ(fresh.Value(), 0);
    EXPECT_TRUE(fresh.SetByMouse());
}

TEST_F(QrGbarControl, ValueSetterClampsAndAlwaysFiresChange) {
    g.SetValue(10);
    g.SetValue(10);
    g.SetPosition(99);
    g.SetProgress(-3);
    EXPECT_EQ(log, QStringList({"change10", "change10", "change24", "change0"}));
}

// A new value is painted at once, before the setter returns; the same value
// again paints nothing (the level meter is set 40 times a second).
TEST_F(QrGbarControl, ValueSetterRepaintsAtOnceOnlyWhenTheValueChanges) {
    g.show();
    QApplication::processEvents();
    int paints = 0;
    struct Counter : QObject {
        int* count;
        bool eventFilter(QObject*, QEvent* e) override {
            *count += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    counter.count = &paints;
    g.installEventFilter(&counter);
    g.SetValue(5);
    EXPECT_EQ(paints, 1);
    g.SetValue(5);
    QApplication::processEvents();
    EXPECT_EQ(paints, 1);
    g.SetValue(30);  // clamped to 24: a change
    EXPECT_EQ(paints, 2);
    g.removeEventFilter(&counter);
}

TEST_F(QrGbarControl, MaxSetterRules) {
    g.SetValue(20);
    log.clear();
    g.SetMax(0);
    EXPECT_EQ(g.Max(), 24);
    EXPECT_EQ(g.Value(), 20);
    g.SetMax(10);
    EXPECT_EQ(g.Value(), 10) << "lowered with the maximum";
    g.SetMax(50);
    EXPECT_EQ(g.Value(), 10) << "not raised again";
    g.SetBarColor(clLime);
    g.SetBorder(true);
    EXPECT_TRUE(log.isEmpty()) << "neither the maximum nor the look fires OnChange";
}

TEST_F(QrGbarControl, ClickFiresStartThreeChangesAndEnd) {
    mouse(QEvent::MouseButtonPress, {5, 10}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {5, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(log, QStringList({"down", "start", "change18", "change18", "click", "up", "change18", "end"}));
}

TEST_F(QrGbarControl, DragOutsideTheBarClamps) {
    mouse(QEvent::MouseButtonPress, {5, 20}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(g.Value(), 12);
    mouse(QEvent::MouseMove, {5, -5}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(g.Value(), 24);
    mouse(QEvent::MouseMove, {5, 50}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(g.Value(), 0);
    log.clear();
    mouse(QEvent::MouseButtonRelease, {40, 50}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(log, QStringList({"up", "change0", "end"})) << "no click when released outside";
}

TEST_F(QrGbarControl, RightButtonSetsOnPressButNotOnMove) {
    mouse(QEvent::MouseButtonPress, {5, 0}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(g.Value(), 24);
    mouse(QEvent::MouseMove, {5, 40}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(g.Value(), 24);
    mouse(QEvent::MouseMove, {5, 40}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(g.Value(), 24);
    mouse(QEvent::MouseButtonRelease, {5, 40}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(log, QStringList({"down", "start", "change24", "change24", "up", "change24", "end"}));
}

TEST_F(QrGbarControl, WithoutSetByMouseOnlyThePlainMouseEventsFire) {
    g.SetSetByMouse(false);
    g.SetValue(6);
    log.clear();
    mouse(QEvent::MouseButtonPress, {5, 0}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, {5, 3}, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {5, 3}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(g.Value(), 6);
    EXPECT_EQ(log, QStringList({"down", "click", "up"}));
}
