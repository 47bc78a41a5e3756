#include "timeline/TimelineGeometry.h"
#include "timeline/TimelineRenderer.h"
#include "timeline/uTimeline.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

constexpr int kHeight = 61;
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 128, 0);

struct Picture {
    TMarkerList markers;
    TimelineScene scene;

    Picture(double factor, double duration, double play, TMarkerList list = {}) : markers(std::move(list)) {
        scene.loaded = true;
        scene.zoomFactor = factor;
        scene.duration = duration;
        scene.playPosition = play;
        scene.markers = &markers;
        scene.pictureWidth = TimelineWidthFor(duration, factor);
        scene.height = kHeight;
        scene.font.setPixelSize(17);
    }

    // The view [origin, origin + width) of the picture on a black strip.
    QImage render(qint64 origin, int width, QRect exposed = {}) const {
        QImage image(width, kHeight, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        RenderTimeline(p, scene, origin, exposed.isNull() ? image.rect() : exposed);
        return image;
    }
};

QColor at(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

// Rows [top, bottom) of column x all have colour c.
bool columnIs(const QImage& image, int x, int top, int bottom, const QColor& c) {
    for (int y = top; y < bottom; ++y)
        if (at(image, x, y) != c)
            return false;
    return true;
}

bool anyPixelIn(const QImage& image, QRect box, const QColor& c) {
    box &= image.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (at(image, x, y) == c)
                return true;
    return false;
}

bool isReddish(QColor c) { return c.red() > 200 && c.green() < 120 && c.blue() < 120; }

bool anyReddishIn(const QImage& image, QRect box) {
    box &= image.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (isReddish(at(image, x, y)))
                return true;
    return false;
}

bool isGreenish(QColor c) { return c.green() > c.red() + 40 && c.green() > c.blue() + 40; }

// The font chosen at start keeps every scale label clear of the next one and
// of the marker times below it, at the fitted zoom of short and long tracks
// and at the closest zoom.
TEST(TimelineRenderer, FittedFontKeepsTheLabelsApart) {
    using namespace TimelineLayout;
    QFont desktop;
    desktop.setStyleHint(QFont::SansSerif);
    const QFont font = FitTimelineFont(desktop);
    ASSERT_TRUE(TimelineFontFits(font)) << font.family().toStdString() << " " << font.pixelSize();
    constexpr int kView = 1100;
    for (double duration : {5.0, 25 * 60.0, 3600.0, 25 * 3600.0}) {
        for (double factor : {FitZoomFactor(kView, duration), 320.0}) {
            SCOPED_TRACE(testing::Message() << duration << " s at " << factor << " px/s");
            Picture picture(factor, duration, 0.0);
            picture.scene.font = font;
            const QImage image = picture.render(0, kView);
            // Inked columns of the label band, joined across the small gaps
            // between the glyphs of one label.
            QList<std::pair<int, int>> labels;  // first and last column
            int labelBottom = 0;
            for (int x = 0; x < kView; ++x) {
                bool inked = false;
                for (int y = LabelTop - 1; y < kHeight; ++y)
                    if (isGreenish(at(image, x, y))) {
                        inked = true;
                        labelBottom = std::max(labelBottom, y);
                    }
                if (!inked)
                    continue;
                if (!labels.isEmpty() && x - labels.last().second <= LabelRoom / 2)
                    labels.last().second = x;
                else
                    labels.append({x, x});
            }
            ASSERT_FALSE(labels.isEmpty());
            for (auto [first, last] : labels)
                EXPECT_LE(last - first + 1, MinLabelDistance - TextGap - LabelRoom) << "label at " << first;
            EXPECT_LT(labelBottom, MarkerTextTop) << "scale labels reach into the marker times";
        }
    }
}

TEST(TimelineRenderer, NothingLoadedDrawsNothing) {
    Picture picture(10.0, 60.0, 0.0);
    picture.scene.loaded = false;
    const QImage image = picture.render(0, 300);
    EXPECT_EQ(image.pixel(10, 10), QColor(kBlack).rgb());
    EXPECT_FALSE(anyPixelIn(image, image.rect(), kWhite));
}

TEST(TimelineRenderer, ScaleAtOnePixelPerSecond) {
    // Step 104: major ticks at 0, 104, 208 s, minor ticks halfway.
    Picture picture(1.0, 600.0, 0.0);
    const QImage image = picture.render(0, 700);
    EXPECT_TRUE(columnIs(image, 104, 0, 15, kBlack)) << "major tick: rows 0..14";
    EXPECT_EQ(at(image, 104, 15), kWhite);
    EXPECT_TRUE(columnIs(image, 52, 0, 6, QColor(192, 192, 192))) << "minor tick: rows 0..5";
    EXPECT_EQ(at(image, 52, 6), kWhite);
    EXPECT_TRUE(columnIs(image, 103, 0, kHeight, kWhite));
    // Labels start two pixels right of their tick, at row 16.
    for (int tick : {104, 208, 312}) {
        EXPECT_TRUE(anyPixelIn(image, QRect(tick + 2, 16, 60, 20), kGreen)) << tick;
        EXPECT_FALSE(anyPixelIn(image, QRect(tick + 1, 0, 1, kHeight), kGreen)) << tick;
        EXPECT_FALSE(anyPixelIn(image, QRect(tick + 2, 0, 60, 16), kGreen)) << tick;
    }
    // The picture ends at 600 pixels; the black strip shows beyond.
    EXPECT_EQ(at(image, 599, 40), kWhite);
    EXPECT_EQ(at(image, 600, 40), kBlack);
}

TEST(TimelineRenderer, MarkersAndPlayHead) {
    // 450.5 s at 1 px/s is pixel 450: halves round to the even neighbour.
    Picture picture(1.0, 600.0, 450.5, {{300.0, "m"}, {450.0, "under the head"}});
    const QImage image = picture.render(0, 700);
    EXPECT_TRUE(columnIs(image, 300, 0, kHeight, QColor(255, 0, 0))) << "marker line, full height";
    EXPECT_TRUE(anyReddishIn(image, QRect(302, 35, 60, 20))) << "marker time text at y 35";
    EXPECT_FALSE(anyReddishIn(image, QRect(302, 0, 60, 34)));
    for (int x : {449, 450, 451})
        EXPECT_TRUE(columnIs(image, x, 0, kHeight, QColor(0, 0, 255))) << x;
    EXPECT_FALSE(columnIs(image, 448, 0, kHeight, QColor(0, 0, 255)));
    EXPECT_FALSE(columnIs(image, 452, 0, kHeight, QColor(0, 0, 255)));
}

TEST(TimelineRenderer, StepOneLabelsEveryHalfSecond) {
    // Above about 137.6 px/s every half-second tick is major and labelled.
    Picture picture(200.0, 10.0, 9.0);
    const QImage image = picture.render(0, 800);
    for (int x : {0, 100, 200, 300, 400}) {
        EXPECT_TRUE(columnIs(image, x, 0, 15, kBlack)) << x;
        EXPECT_TRUE(anyPixelIn(image, QRect(x + 2, 16, 60, 20), kGreen)) << x;
    }
}

TEST(TimelineRenderer, ShortLabelsBelowHalfAPixelPerSecond) {
    EXPECT_EQ(ScaleLabelText(300.0, 0.3), QString("00:05:."));
    EXPECT_EQ(ScaleLabelText(300.0, 0.5), QString("00:05:00"));
}

// Painting a window of the picture gives exactly the pixels of the same
// columns of the whole picture, also where labels are thinned out (majors
// 48 px apart at 0.3 px/s) and where labels reach in from the left.
TEST(TimelineRenderer, WindowsMatchTheWholePicture) {
    for (double factor : {0.3, 0.05, 3.0, 330.0}) {
        const double duration = 5000.0 / std::min(factor, 320.0);
        TMarkerList markers;
        for (int i = 0; i < 60; ++i)
            markers.append(TMarker{duration * i / 61.0, {}});
        Picture picture(factor, duration, duration / 3, markers);
        const QImage whole = picture.render(0, 5100);
        for (qint64 origin : {0, 1, 37, 1234, 2501, 4300}) {
            const QImage window = picture.render(origin, 700);
            EXPECT_EQ(window, whole.copy(int(origin), 0, 700, kHeight)) << factor << " at " << origin;
        }
    }
}

TEST(TimelineRenderer, PaintsOnlyTheExposedPart) {
    Picture picture(10.0, 60.0, 20.0, {{15.0, "m"}});
    QImage image(600, kHeight, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    RenderTimeline(p, picture.scene, 0, QRect(100, 0, 100, kHeight));
    p.end();
    EXPECT_EQ(at(image, 99, 30), QColor(255, 0, 255));
    EXPECT_EQ(at(image, 200, 30), QColor(255, 0, 255));
    EXPECT_TRUE(columnIs(image, 150, 0, kHeight, QColor(255, 0, 0)));
    EXPECT_TRUE(columnIs(image, 199, 0, kHeight, QColor(0, 0, 255)));
}

// The widgets end to end: an hour at 320 px/s scrolled to its very end.
TEST(TimelineRenderer, MillionPixelPictureScrolledToItsEnd) {
    const double hour = 3600.0;
    Picture picture(320.0, hour, hour - 1.0, {{hour - 2.0, "near the end"}});
    TimelineScrollBox box;
    box.resize(900, TimelineScrollBox::DesignHeight);
    box.paintBox()->onPaint = [&](QPainter& canvas, const QRect& exposed) {
        TimelineScene scene = picture.scene;
        scene.height = box.paintBox()->height();
        RenderTimeline(canvas, scene, box.paintBox()->origin(), exposed);
    };
    box.paintBox()->setPictureWidth(picture.scene.pictureWidth);
    box.show();
    EXPECT_EQ(box.horizontalScrollBar()->maximum(), 1152000 - 900);
    box.setHorzPosition(10'000'000);
    EXPECT_EQ(box.horzPosition(), 1152000 - 900) << "limited to the scroll range";

    const QImage image = box.paintBox()->grab().toImage();
    const int h = box.paintBox()->height();
    ASSERT_GT(h, 40);
    const int origin = 1152000 - 900;
    auto view = [&](qint64 pictureX) { return int(pictureX - origin); };
    // Ticks every half second (160 px): 3599.5 s is major at Step 1.
    EXPECT_TRUE(columnIs(image, view(1151840), 0, 15, kBlack));
    EXPECT_TRUE(anyPixelIn(image, QRect(view(1151840) + 2, 16, 60, 20), kGreen));
    EXPECT_TRUE(columnIs(image, view(1151360), 0, h, QColor(255, 0, 0))) << "marker at 3598 s";
    for (qint64 x : {1151679, 1151680, 1151681})
        EXPECT_TRUE(columnIs(image, view(x), 0, h, QColor(0, 0, 255))) << "play head at 3599 s";
    EXPECT_EQ(at(image, 899, 5), kWhite) << "the last column of the picture";
}

TEST(TimelineScrollBox, ManualScrollingIsReportedProgrammaticIsNot) {
    TimelineScrollBox box;
    box.resize(900, TimelineScrollBox::DesignHeight);
    box.paintBox()->setPictureWidth(5000);
    box.show();
    int manual = 0;
    QObject::connect(&box, &TimelineScrollBox::userScrolled, [&] { ++manual; });

    box.setHorzPosition(1200);
    EXPECT_EQ(box.paintBox()->origin(), 1200);
    EXPECT_EQ(manual, 0);

    box.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(manual, 1);
    EXPECT_EQ(box.paintBox()->origin(), 2100);

    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(box.paintBox(), &wheel);
    EXPECT_GE(manual, 2);
    EXPECT_GT(box.horzPosition(), 2100) << "the wheel scrolls the picture";

    box.paintBox()->setPictureWidth(1000);  // zooming out shrinks the range
    EXPECT_EQ(box.horzPosition(), 100);
    box.paintBox()->setPictureWidth(600);
    EXPECT_EQ(box.horzPosition(), 0);
    EXPECT_FALSE(box.horizontalScrollBar()->isVisible()) << "no bar when everything fits";
}

}  // namespace
