#include "timeline/TimelineRenderer.h"

#include "timeline/TimeUtils.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/WaveformSummary.h"

#include <QFontMetrics>
#include <QHash>
#include <QList>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

using namespace TimelineLayout;

// Text on an opaque white box, so that it hides what lies beneath it. The
// boxes are drawn once per text, colour and font and then copied: a dense
// stretch of markers repaints hundreds of them 40 times a second, and a copy
// of an opaque box gives the same pixels as drawing the text there.
class BoxedTextCache {
public:
    // prefix names the font, colour and pixel ratio (see prefixFor).
    const QImage& box(const QString& prefix, const QFont& font, const QColor& colour, const QString& text,
                      qreal dpr) {
        const QString key = prefix + text;
        auto it = boxes_.constFind(key);
        if (it != boxes_.constEnd())
            return *it;
        if (boxes_.size() >= kMaxBoxes)
            boxes_.clear();
        const QFontMetrics fm(font);
        const QSize size(fm.horizontalAdvance(text), fm.height());
        QImage image(size * dpr, QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
        image.fill(TimelineColours::Field);
        QPainter p(&image);
        p.setFont(font);
        p.setPen(colour);
        p.drawText(QPoint(0, fm.ascent()), text);
        p.end();
        return *boxes_.insert(key, image);
    }

    static QString prefixFor(const QFont& font, const QColor& colour, qreal dpr) {
        return QString::number(colour.rgb()) + QLatin1Char('|') + QString::number(dpr) + QLatin1Char('|') +
               font.key() + QLatin1Char('|');
    }

private:
    static constexpr int kMaxBoxes = 4096;
    QHash<QString, QImage> boxes_;
};

BoxedTextCache& boxedTextCache() {
    static BoxedTextCache cache;  // GUI thread only
    return cache;
}

// Draws the boxed texts of one font and colour.
class BoxedTextPainter {
public:
    BoxedTextPainter(QPainter& p, const QFont& font, const QColor& colour)
        : p_(p), font_(font), colour_(colour), dpr_(p.device() ? p.device()->devicePixelRatioF() : 1.0),
          prefix_(BoxedTextCache::prefixFor(font, colour, dpr_)) {}

    void draw(int x, int top, const QString& text) {
        p_.drawImage(QPoint(x, top), boxedTextCache().box(prefix_, font_, colour_, text, dpr_));
    }

    // Only the first maxWidth pixels of the text; returns the width drawn.
    int drawClipped(int x, int top, const QString& text, int maxWidth) {
        const QImage& image = boxedTextCache().box(prefix_, font_, colour_, text, dpr_);
        const int width = std::min(maxWidth, static_cast<int>(image.width() / dpr_));
        if (width > 0)
            p_.drawImage(QRectF(x, top, width, image.height() / dpr_), image,
                         QRectF(0, 0, width * dpr_, image.height()));
        return width;
    }

    int width(const QString& text) const {
        return static_cast<int>(boxedTextCache().box(prefix_, font_, colour_, text, dpr_).width() / dpr_);
    }

private:
    QPainter& p_;
    QFont font_;
    QColor colour_;
    qreal dpr_;
    QString prefix_;
};

class ScalePainter {
public:
    ScalePainter(QPainter& p, const TimelineScene& s, double factor, int step, qint64 originX)
        : p_(p), factor_(factor), duration_(s.duration), step_(step), half_(step / 2.0),
          originX_(originX), fm_(s.font), labels_(p, s.font, TimelineColours::Label) {}

    // Ticks whose line or label reaches into picture columns [left, right).
    void paint(qint64 left, qint64 right) {
        const double tickPixels = half_ * factor_;
        // A label may start up to its own width left of the window.
        const qint64 margin = fm_.horizontalAdvance(ScaleLabelText(duration_, factor_)) + TextGap + 1;
        qint64 first = std::max<qint64>(0, static_cast<qint64>(std::floor((left - margin) / tickPixels)) - 1);
        qint64 lastLabelX = labelStateBefore(first);
        for (qint64 k = first;; ++k) {
            const double t = k * half_;
            if (t > duration_)
                break;
            const qint64 x = PixelOfTime(t, factor_);
            if (x >= right)
                break;
            const int px = static_cast<int>(x - originX_);
            if (isMajor(t)) {
                p_.fillRect(px, 0, 1, MajorTickHeight, TimelineColours::MajorTick);
                if (std::abs(x - lastLabelX) >= MinLabelDistance) {
                    labels_.draw(px + TextGap, LabelTop, ScaleLabelText(t, factor_));
                    lastLabelX = x;
                }
            } else {
                p_.fillRect(px, 0, 1, MinorTickHeight, TimelineColours::MinorTick);
            }
        }
    }

private:
    // Every half step is a major tick when its whole seconds are a multiple
    // of the step (all of them when the step is 1).
    bool isMajor(double t) const { return static_cast<qint64>(t) % step_ == 0; }

    // The x of the last label drawn before tick `first`, as a walk from the
    // start would leave it. When major ticks lie at least 61 pixels apart
    // every one is labelled and nothing before the window matters. Closer
    // ticks only occur below about 0.4 px/s, where the whole scale has at
    // most a few thousand ticks, so the labels are replayed from the start.
    qint64 labelStateBefore(qint64 first) const {
        const double majorPixels = (step_ == 1 ? half_ : step_) * factor_;
        qint64 lastLabelX = -9999;
        if (majorPixels >= MinLabelDistance + 1)
            return lastLabelX;
        for (qint64 k = 0; k < first; k += (step_ == 1 ? 1 : 2)) {
            const qint64 x = PixelOfTime(k * half_, factor_);
            if (std::abs(x - lastLabelX) >= MinLabelDistance)
                lastLabelX = x;
        }
        return lastLabelX;
    }

    QPainter& p_;
    double factor_;
    double duration_;
    int step_;
    double half_;
    qint64 originX_;
    QFontMetrics fm_;
    BoxedTextPainter labels_;
};

// Per column the lowest and highest sample of the frames it covers, as a
// vertical line about the middle of the picture.
// The looping section's columns within [left, right), tinted over the
// field and the waveform.
void paintLoopTint(QPainter& p, const TimelineScene& s, double factor, qint64 originX, qint64 left, qint64 right) {
    const qint64 from = std::max(left, PixelOfTime(s.loopStart, factor));
    const qint64 to = std::min(right, PixelOfTime(s.loopEnd, factor) + 1);
    if (from < to)
        p.fillRect(QRect(int(from - originX), 0, int(to - from), s.height), TimelineColours::LoopTint);
}

void paintWaveform(QPainter& p, const TimelineScene& s, double factor, qint64 originX, qint64 left,
                   qint64 right) {
    const WaveformSummary& wave = *s.waveform;
    if (wave.isEmpty() || wave.sampleRate() <= 0)
        return;
    const double framesPerPixel = wave.sampleRate() / factor;
    const double middle = s.height / 2.0;
    const double halfHeight = s.height / 2.0 - 1.0;
    const qint64 end = std::min<qint64>(right, static_cast<qint64>(std::ceil(wave.framesCovered() / framesPerPixel)));
    for (qint64 x = left; x < end; ++x) {
        const auto range = wave.range(static_cast<qint64>(x * framesPerPixel),
                                      static_cast<qint64>((x + 1) * framesPerPixel));
        if (!range)
            continue;
        const int top = static_cast<int>(std::floor(middle - range->high * halfHeight));
        const int bottom = static_cast<int>(std::ceil(middle - range->low * halfHeight));
        p.fillRect(static_cast<int>(x - originX), top, 1, std::max(1, bottom - top), TimelineColours::Waveform);
    }
}

void paintMarkers(QPainter& p, const TimelineScene& s, double factor, qint64 originX, qint64 left,
                  qint64 right, int height) {
    if (!s.markers || s.markers->isEmpty())
        return;
    QFont bold = s.font;
    bold.setBold(true);
    const QFontMetrics fm(bold);
    // Room for the widest time text (a sign and four hour digits).
    const qint64 margin = fm.horizontalAdvance(QStringLiteral("-0000:00:00")) + TextGap + 1;
    // A cheap test on the time first; the exact pixel test follows.
    const double lowTime = (left - margin - 1) / factor;
    const double highTime = (right + 1) / factor;
    BoxedTextPainter texts(p, bold, TimelineColours::Marker);
    std::optional<BoxedTextPainter> names;
    if (s.markerNames)
        names.emplace(p, s.font, TimelineColours::MarkerName);
    // Neighbouring markers mostly share their text (whole seconds).
    QString text;
    qint64 textSecond = -1;
    const TMarkerList& markers = *s.markers;
    for (qsizetype i = 0; i < markers.size(); ++i) {
        const TMarker& m = markers[i];
        // A description reaches up to the next marker, so the last marker
        // left of the window may still show the end of its own.
        const bool nameReachesIn = names && m.Time < lowTime &&
                                   (i + 1 == markers.size() || markers[i + 1].Time >= lowTime);
        if (!(m.Time >= lowTime && m.Time <= highTime) && !nameReachesIn)
            continue;
        const qint64 x = PixelOfTime(m.Time, factor);
        const bool inView = x >= left - margin && x < right;
        if (!inView && !nameReachesIn)
            continue;
        const int px = static_cast<int>(x - originX);
        const qint64 second = m.Time >= 0 ? static_cast<qint64>(m.Time) : -1;
        if (second < 0 || second != textSecond) {
            text = SecondsToTimeStr(m.Time, false);
            textSecond = second;
        }
        if (inView) {
            p.fillRect(px, 0, 1, height, TimelineColours::Marker);
            texts.draw(px + TextGap, MarkerTextTop, text);
        }
        if (names && !m.Description.isEmpty()) {
            const qint64 end = i + 1 < markers.size() ? PixelOfTime(markers[i + 1].Time, factor) : s.pictureWidth;
            const qint64 nameX = x + TextGap + texts.width(text) + NameGap;
            if (nameX < end && end > left)
                names->drawClipped(static_cast<int>(nameX - originX), MarkerTextTop, m.Description,
                                   static_cast<int>(std::min<qint64>(end - 1 - nameX, 1 << 20)));
        }
    }
}

}  // namespace

QString ScaleLabelText(double seconds, double zoomFactor) {
    const QString text = SecondsToTimeStr(seconds, false);
    if (zoomFactor < ShortLabelFactor)
        return text.left(5) + QStringLiteral(":.");
    return text;
}

void RenderTimeline(QPainter& p, const TimelineScene& s, qint64 originX, const QRect& exposed) {
    if (!s.loaded)
        return;
    const double factor = std::min(s.zoomFactor, TimelineZoom::kMaxFactor);
    const int step = MajorTickStep(factor);
    if (step <= 0)
        return;

    // Picture columns [left, right) and rows [0, height) that need painting.
    const qint64 left = std::max<qint64>(0, originX + exposed.left());
    const qint64 right = std::min<qint64>(s.pictureWidth, originX + exposed.left() + exposed.width());
    const int top = std::max(0, exposed.top());
    const int bottom = std::min(s.height, exposed.top() + exposed.height());
    if (left >= right || top >= bottom)
        return;
    const QRect area(static_cast<int>(left - originX), top, static_cast<int>(right - left), bottom - top);

    p.save();
    p.setClipRect(area);
    p.setBackgroundMode(Qt::TransparentMode);
    p.fillRect(area, TimelineColours::Field);
    if (s.waveform)
        paintWaveform(p, s, factor, originX, left, right);
    if (s.loop)
        paintLoopTint(p, s, factor, originX, left, right);
    ScalePainter(p, s, factor, step, originX).paint(left, right);
    paintMarkers(p, s, factor, originX, left, right, s.height);
    const int head = static_cast<int>(std::clamp<qint64>(PixelOfTime(s.playPosition, factor) - originX,
                                                         -1000, 1000000));
    p.fillRect(head - 1, 0, 3, s.height, TimelineColours::PlayHead);
    p.restore();
}

bool TimelineFontFits(const QFont& font) {
    using namespace TimelineLayout;
    const QFontMetrics fm(font);
    int widest = 0;
    // Digits need not share one width; "hh:nn:ss" is the widest label.
    for (QChar digit = u'0'; digit <= u'9'; digit = QChar(digit.unicode() + 1)) {
        const QString two(2, digit);
        widest = std::max(widest, fm.horizontalAdvance(two + u':' + two + u':' + two));
    }
    return TextGap + widest + LabelRoom <= MinLabelDistance && fm.height() <= MarkerTextTop - LabelTop;
}

QFont FitTimelineFont(const QFont& base) {
    using namespace TimelineLayout;
    QList<QFont> faces{base};
    QFont condensed = base;
    condensed.setStretch(QFont::Condensed);
    faces << condensed;
    for (const char* family : {"DejaVu Sans Condensed", "Nimbus Sans Narrow", "Liberation Sans Narrow",
                               "Arial Narrow", "Roboto Condensed", "Noto Sans Condensed"}) {
        QFont narrow = base;
        narrow.setFamilies({QString::fromLatin1(family)});
        faces << narrow;
    }
    for (int pixels = DesignFontPixels; pixels >= SmallestFontPixels; --pixels) {
        for (QFont face : faces) {
            face.setPixelSize(pixels);
            if (TimelineFontFits(face))
                return face;
        }
    }
    QFont smallest = base;
    smallest.setPixelSize(SmallestFontPixels);
    return smallest;
}
