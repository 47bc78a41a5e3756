#include "timeline/TimelineGeometry.h"
#include "timeline/TimelineRenderer.h"
#include "timeline/TimeUtils.h"
#include "timeline/WaveformSummary.h"
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

template <typename Test>
bool anyPixelWhere(const QImage& image, QRect box, Test test) {
    box &= image.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (test(at(image, x, y)))
                return true;
    return false;
}

bool anyReddishIn(const QImage& image, QRect box) { return anyPixelWhere(image, box, isReddish); }

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

// Every marker drawn in list order the plain way (line, then its time and
// description on opaque white boxes), over the picture without markers.
QImage paintedOneByOne(const Picture& picture, qint64 origin, int width) {
    using namespace TimelineLayout;
    Picture bare = picture;
    bare.markers.clear();
    QImage image = bare.render(origin, width);
    const TimelineScene& s = picture.scene;
    QFont bold = s.font;
    bold.setBold(true);
    QPainter p(&image);
    p.setClipRect(QRect(0, 0, int(s.pictureWidth - origin), kHeight));
    auto boxed = [&](qint64 x, const QFont& font, const QColor& colour, const QString& text, int maxWidth) {
        const QFontMetrics fm(font);
        const int w = std::min(maxWidth, fm.horizontalAdvance(text));
        if (w <= 0)
            return;
        p.save();
        p.setClipRect(QRect(int(x - origin), MarkerTextTop, w, fm.height()), Qt::IntersectClip);
        p.fillRect(QRect(int(x - origin), MarkerTextTop, w, fm.height()), kWhite);
        p.setFont(font);
        p.setPen(colour);
        p.drawText(QPoint(int(x - origin), MarkerTextTop + fm.ascent()), text);
        p.restore();
    };
    const TMarkerList& markers = picture.markers;
    for (qsizetype i = 0; i < markers.size(); ++i) {
        const qint64 x = PixelOfTime(markers[i].Time, s.zoomFactor);
        const QString time = SecondsToTimeStr(markers[i].Time, false);
        p.fillRect(int(x - origin), 0, 1, kHeight, TimelineColours::Marker);
        boxed(x + TextGap, bold, TimelineColours::Marker, time, 1 << 20);
        if (s.markerNames) {
            const qint64 end = i + 1 < markers.size() ? PixelOfTime(markers[i + 1].Time, s.zoomFactor) : s.pictureWidth;
            const qint64 nameX = x + TextGap + QFontMetrics(bold).horizontalAdvance(time) + NameGap;
            boxed(nameX, s.font, TimelineColours::MarkerName, markers[i].Description, int(end - 1 - nameX));
        }
    }
    return image;
}

// "x,y" of the first pixel that differs; empty when none does.
QString firstDifference(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("%1,%2 %3 %4").arg(x).arg(y).arg(a.pixel(x, y), 0, 16).arg(b.pixel(x, y), 0, 16);
    return QString();
}

// Crowded markers cover each other's lines and times; the picture is the
// same as drawing every one of them in turn. Spacing runs from many markers
// per pixel to a few per time text, with equal times and gaps between.
TEST(TimelineRenderer, CrowdedMarkersPaintAsEachDrawnInTurn) {
    struct Case {
        double factor;
        double duration;
        int count;
        bool names;
    };
    for (const Case c : {Case{0.25, 3600.0, 4000, false}, Case{320.0, 60.0, 3000, false},
                         Case{20.0, 120.0, 900, true}, Case{2.0, 600.0, 1500, true}}) {
        SCOPED_TRACE(testing::Message() << c.factor << " px/s, " << c.count << " markers, names " << c.names);
        TMarkerList markers;
        for (int i = 0; i < c.count; ++i) {
            // Clusters with empty stretches between them, some times twice.
            const double t = c.duration * ((i / 50) * 50 + (i % 50) * (i % 7 == 0 ? 0.0 : 0.6)) / c.count;
            markers.append(TMarker{t, QStringLiteral("take %1").arg(i % 13)});
        }
        Picture picture(c.factor, c.duration, -1000.0, markers);  // the play head out of sight
        picture.scene.markerNames = c.names;
        for (qint64 origin : {qint64(0), picture.scene.pictureWidth / 3}) {
            EXPECT_EQ(firstDifference(picture.render(origin, 900), paintedOneByOne(picture, origin, 900)), QString())
                << "at " << origin;
        }
    }
}

// ---- the added layers: waveform and marker names ---------------------------------------

namespace {

const QColor kWaveGrey = TimelineColours::Waveform;

bool isMarkerNameColour(QColor c) { return c.red() > 90 && c.red() < 170 && c.green() < 60 && c.blue() < 60; }

bool anyNameColourIn(const QImage& image, QRect box) { return anyPixelWhere(image, box, isMarkerNameColour); }

// 8 kHz: full scale for the first 10 s, silence after.
WaveformSummary loudThenSilent() {
    WaveformSummary s;
    s.reset(8000);
    const qsizetype loud = 10 * 8000 / WaveformSummary::kBaseBlockFrames;
    const qsizetype all = 20 * 8000 / WaveformSummary::kBaseBlockFrames;
    QList<qint8> mins(all, 0);
    QList<qint8> maxs(all, 0);
    for (qsizetype i = 0; i < loud; ++i) {
        mins[i] = -127;
        maxs[i] = 127;
    }
    s.append(mins, maxs);
    return s;
}

// A taller strip than the others, so the middle row lies below the texts.
QImage renderTall(const Picture& pic, int width, int height) {
    TimelineScene scene = pic.scene;
    scene.height = height;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    RenderTimeline(p, scene, 0, image.rect());
    return image;
}

TEST(TimelineRenderer, WaveformLiesUnderScaleMarkersAndPlayHead) {
    const WaveformSummary wave = loudThenSilent();
    Picture pic(10, 20, 5, {{3.0, QString()}});
    pic.scene.waveform = &wave;
    const QImage image = renderTall(pic, 200, 121);
    EXPECT_EQ(at(image, 47, 100), kWaveGrey) << "loud: grey far from the middle";
    EXPECT_EQ(at(image, 47, 0), kWhite) << "full scale stops a row short of the edge";
    EXPECT_EQ(at(image, 150, 60), kWaveGrey) << "silent: the middle row";
    EXPECT_EQ(at(image, 150, 100), kWhite) << "silent: nothing else";
    EXPECT_EQ(at(image, 30, 100), TimelineColours::Marker) << "the marker stays on top";
    EXPECT_EQ(at(image, 50, 100), TimelineColours::PlayHead) << "the play head stays on top";
    EXPECT_EQ(at(image, 0, 2), TimelineColours::MajorTick) << "the scale stays on top";
}

TEST(TimelineRenderer, WaveformShowsOnlyWhatIsComputed) {
    WaveformSummary wave;
    wave.reset(8000);
    wave.append(QList<qint8>(50, -127), QList<qint8>(50, 127));  // 1.6 s
    Picture pic(10, 20, 19);
    pic.scene.waveform = &wave;
    const QImage image = renderTall(pic, 200, 121);
    EXPECT_EQ(at(image, 8, 100), kWaveGrey);
    EXPECT_EQ(at(image, 40, 60), kWhite) << "beyond the computed part nothing is drawn yet";
}

// The envelope is kept between repaints; growing and scrolling must give the
// picture of a summary complete from the start. The expected pictures are
// made first, so that the growing summary's repaints follow each other.
TEST(TimelineRenderer, WaveformGrownAndScrolledEqualsOnePaintedAtOnce) {
    QList<qint8> mins;
    QList<qint8> maxs;
    for (int i = 0; i < 4000; ++i) {  // 128 s at 8 kHz, a changing level
        mins.append(qint8(-(i * 37 % 127)));
        maxs.append(qint8(i * 53 % 127));
    }
    auto firstBlocks = [&](qsizetype count) {
        WaveformSummary s;
        s.reset(8000);
        s.append(mins.first(count), maxs.first(count));
        return s;
    };
    constexpr qsizetype kPiece = 333;
    Picture fitted(4, 128, -1000);  // the whole track in 512 px
    QList<QImage> expected;
    for (qsizetype done = kPiece; done < mins.size() + kPiece; done += kPiece) {
        const WaveformSummary part = firstBlocks(std::min(done, mins.size()));
        fitted.scene.waveform = &part;
        expected.append(fitted.render(0, 520));
    }
    Picture close(40, 128, -1000);
    const WaveformSummary whole = firstBlocks(mins.size());
    close.scene.waveform = &whole;
    const QList<qint64> origins{0, 130, 1200, 4700, 600, 3000};
    QList<QImage> expectedScrolled;
    for (qint64 origin : origins)
        expectedScrolled.append(close.render(origin, 500));

    WaveformSummary growing;
    growing.reset(8000);
    fitted.scene.waveform = &growing;
    for (qsizetype done = 0, step = 0; done < mins.size(); done += kPiece, ++step) {
        growing.append(mins.mid(done, kPiece), maxs.mid(done, kPiece));
        EXPECT_EQ(fitted.render(0, 520), expected[step]) << "grown to " << growing.framesCovered();
    }
    close.scene.waveform = &growing;
    for (qsizetype i = 0; i < origins.size(); ++i)
        EXPECT_EQ(close.render(origins[i], 500), expectedScrolled[i]) << "at " << origins[i];
}

TEST(TimelineRenderer, MarkerNamesFollowTheTimeAndStopBeforeTheNextMarker) {
    const TMarkerList markers{{2.0, QStringLiteral("A very long description of the opening phrase")},
                              {9.0, QString()}};
    for (bool names : {false, true}) {
        Picture pic(20, 20, 0, markers);  // the markers at x 40 and 180
        pic.scene.markerNames = names;
        const QImage image = pic.render(0, 300);
        EXPECT_EQ(anyNameColourIn(image, QRect(120, TimelineLayout::MarkerTextTop, 55, 25)), names);
        EXPECT_FALSE(anyNameColourIn(image, QRect(180, 0, 120, kHeight))) << "cut off before the next marker";
        EXPECT_EQ(at(image, 180, kHeight - 2), TimelineColours::Marker);
    }
}

TEST(TimelineRenderer, NameOfAMarkerLeftOfTheViewStillShowsItsEnd) {
    const TMarkerList markers{{1.0, QStringLiteral("Long long long long long long long long name")}, {60.0, QString()}};
    Picture pic(10, 100, 0, markers);
    pic.scene.markerNames = true;
    const QImage image = pic.render(200, 200);  // the view starts at 20 s
    EXPECT_TRUE(anyNameColourIn(image, QRect(0, TimelineLayout::MarkerTextTop, 200, 25)));
}

}  // namespace
