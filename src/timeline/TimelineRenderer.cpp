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
#include <numeric>
#include <optional>
#include <vector>

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

// The width of `text` in `font`. Every repaint, even of a play head's few
// columns, measures the same few texts, and measuring shapes a text anew.
int TextAdvance(const QFont& font, const QString& text) {
    struct Measured {
        QFont font;
        QString text;
        int width;
    };
    static std::vector<Measured> known;  // GUI thread only; a handful of fonts and texts
    for (const Measured& m : known)
        if (m.text == text && m.font == font)
            return m.width;
    if (known.size() >= 32)
        known.clear();
    known.push_back({font, text, QFontMetrics(font).horizontalAdvance(text)});
    return known.back().width;
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
          originX_(originX), font_(s.font), labels_(p, s.font, TimelineColours::Label) {}

    // Ticks whose line or label reaches into picture columns [left, right).
    void paint(qint64 left, qint64 right) {
        const double tickPixels = half_ * factor_;
        // A label may start up to its own width left of the window.
        const qint64 margin = TextAdvance(font_, ScaleLabelText(duration_, factor_)) + TextGap + 1;
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
    QFont font_;
    BoxedTextPainter labels_;
};

// The looping section's columns within [left, right), tinted over the
// field and the waveform.
void paintLoopTint(QPainter& p, const TimelineScene& s, double factor, qint64 originX, qint64 left, qint64 right) {
    const qint64 from = std::max(left, PixelOfTime(s.loopStart, factor));
    const qint64 to = std::min(right, PixelOfTime(s.loopEnd, factor) + 1);
    if (from < to)
        p.fillRect(QRect(int(from - originX), 0, int(to - from), s.height), TimelineColours::LoopTint);
}

// The white field with the waveform on it (per column the lowest and highest
// sample of the frames it covers, as a vertical line about the middle) for a
// stretch of columns around the view. It is painted once for a zoom and a
// state of the summary and then copied, so a repaint costs one copy; moving
// out of the stretch paints a new one, and a growing summary adds only its
// new columns. The stretch's width follows the view, never the track.
class WaveformStrip {
public:
    void paint(QPainter& p, const TimelineScene& s, double factor, const QRect& area, qint64 left,
               qint64 right) {
        const WaveformSummary& wave = *s.waveform;
        if (wave.isEmpty() || wave.sampleRate() <= 0) {
            p.fillRect(area, TimelineColours::Field);
            return;
        }
        const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
        if (wave.identity() != identity_ || factor != factor_ || s.height != height_ || dpr != dpr_ ||
            left < first_ || right > first_ + width_ || wave.framesCovered() < framesPainted_)
            start(wave, factor, s.height, dpr, left, right, std::max<qint64>(p.window().width(), right - left));
        else if (wave.framesCovered() != framesPainted_)
            grow(wave);
        const QRectF source((left - first_) * dpr, area.top() * dpr, area.width() * dpr, area.height() * dpr);
        p.drawImage(QPointF(area.left(), area.top()), image_, source);
    }

private:
    // A view's width (within limits) on either side of the columns to
    // paint: room for a jump of the auto-scroll either way.
    void start(const WaveformSummary& wave, double factor, int height, qreal dpr, qint64 left, qint64 right,
               qint64 viewWidth) {
        identity_ = wave.identity();
        factor_ = factor;
        height_ = height;
        dpr_ = dpr;
        const qint64 room = std::min(viewWidth, kMaxRoom);
        first_ = std::max<qint64>(0, left - room);
        width_ = right + room - first_;
        image_ = QImage(QSize(static_cast<int>(width_), height) * dpr, QImage::Format_RGB32);
        image_.setDevicePixelRatio(dpr);
        image_.fill(TimelineColours::Field);
        framesPainted_ = 0;
        paintColumns(wave, first_);
    }

    // The last column painted may have been only partly covered.
    void grow(const WaveformSummary& wave) {
        const double framesPerPixel = wave.sampleRate() / factor_;
        const qint64 from = std::max(first_, static_cast<qint64>(framesPainted_ / framesPerPixel) - 1);
        paintColumns(wave, from);
    }

    // Columns [from, end of the strip) as far as the summary reaches.
    void paintColumns(const WaveformSummary& wave, qint64 from) {
        framesPainted_ = wave.framesCovered();
        if (wave.isEmpty() || wave.sampleRate() <= 0)
            return;
        const double framesPerPixel = wave.sampleRate() / factor_;
        const double middle = height_ / 2.0;
        const double halfHeight = height_ / 2.0 - 1.0;
        const qint64 end = std::min<qint64>(first_ + width_,
                                            static_cast<qint64>(std::ceil(framesPainted_ / framesPerPixel)));
        const QRgb field = TimelineColours::Field.rgb();
        const QRgb grey = TimelineColours::Waveform.rgb();
        uchar* bits = image_.bits();
        const qsizetype stride = image_.bytesPerLine();
        for (qint64 x = from; x < end; ++x) {
            int top = height_;
            int bottom = height_;
            if (const auto range = wave.range(static_cast<qint64>(x * framesPerPixel),
                                              static_cast<qint64>((x + 1) * framesPerPixel))) {
                top = static_cast<int>(std::floor(middle - range->high * halfHeight));
                bottom = top + std::max(1, static_cast<int>(std::ceil(middle - range->low * halfHeight)) - top);
            }
            const int deviceLeft = static_cast<int>(std::lround((x - first_) * dpr_));
            const int deviceRight = static_cast<int>(std::lround((x - first_ + 1) * dpr_));
            const int deviceTop = std::clamp(static_cast<int>(std::lround(top * dpr_)), 0, image_.height());
            const int deviceBottom = std::clamp(static_cast<int>(std::lround(bottom * dpr_)), 0, image_.height());
            for (int y = 0; y < image_.height(); ++y) {
                QRgb* row = reinterpret_cast<QRgb*>(bits + y * stride);
                const QRgb colour = y >= deviceTop && y < deviceBottom ? grey : field;
                for (int c = deviceLeft; c < deviceRight; ++c)
                    row[c] = colour;
            }
        }
    }

    static constexpr qint64 kMaxRoom = 4096;

    QImage image_;
    quint64 identity_ = 0;
    double factor_ = 0.0;
    int height_ = 0;
    qreal dpr_ = 0.0;
    qint64 first_ = 0;  // the picture column of the strip's first column
    qint64 width_ = 0;
    qint64 framesPainted_ = 0;
};

WaveformStrip& waveformStrip() {
    static WaveformStrip strip;  // GUI thread only
    return strip;
}

// Columns of the picture that drawing done later covers. Columns outside
// [left, right) count as covered: nothing drawn there shows.
class CoveredColumns {
public:
    CoveredColumns(qint64 left, qint64 right)
        : left_(left), right_(std::max(left, right)), next_(static_cast<size_t>(right_ - left_ + 1)) {
        std::iota(next_.begin(), next_.end(), 0);
    }

    // Whether every column of [from, to) is covered.
    bool covers(qint64 from, qint64 to) {
        from = std::max(from, left_);
        to = std::min(to, right_);
        return from >= to || left_ + firstOpen(from - left_) >= to;
    }

    void cover(qint64 from, qint64 to) {
        from = std::max(from, left_);
        to = std::min(to, right_);
        if (from >= to)
            return;
        for (qint64 i = firstOpen(from - left_); i < to - left_; i = firstOpen(i))
            next_[static_cast<size_t>(i)] = i + 1;
    }

private:
    // The first open column index at or after i; the end index when none.
    qint64 firstOpen(qint64 i) {
        qint64 open = i;
        while (next_[static_cast<size_t>(open)] != open)
            open = next_[static_cast<size_t>(open)];
        while (i != open) {  // shorten the path for the next search
            const qint64 next = next_[static_cast<size_t>(i)];
            next_[static_cast<size_t>(i)] = open;
            i = next;
        }
        return open;
    }

    qint64 left_;
    qint64 right_;
    std::vector<qint64> next_;
};

// What of one marker shows: its line, its time and its description.
struct MarkerDrawing {
    qsizetype index;
    qint64 x;
    bool line = false;
    bool time = false;
    bool name = false;
    qint64 nameX = 0;
    int nameWidth = 0;
};

// An upper bound of the width of a marker's time text, from its length
// alone, so that a hidden text need not be made to be measured.
class TimeTextBound {
public:
    explicit TimeTextBound(const QFont& font) : font_(font) {}

    qint64 width(double seconds) {
        if (widest_ == 0.0) {
            const QFontMetricsF fm(font_);
            for (QChar c : QStringLiteral("0123456789:-"))
                widest_ = std::max(widest_, fm.horizontalAdvance(c));
        }
        seconds = std::isfinite(seconds) ? std::min(std::abs(seconds), 1e12) : 0.0;
        qint64 hours = static_cast<qint64>(seconds) / 3600;
        int characters = 7;  // "-" and ":mm:ss"
        for (int digits = 0; digits < 2 || hours > 0; ++digits, hours /= 10)
            ++characters;
        // A pixel per character for rounding, one for the pair spacing.
        return static_cast<qint64>(std::ceil(characters * widest_)) + characters + 1;
    }

private:
    const QFont& font_;
    qreal widest_ = 0.0;
};

// Markers lie close together at a small zoom: ten thousand in one screen
// stack up dozens of opaque time boxes per column. Everything drawn here is
// opaque, so a marker's line, time or description that later ones cover
// entirely is left out: walking from the last marker back, each part is
// kept only where it shows, which keeps the pixels and bounds the drawing by
// the screen's width.
void paintMarkers(QPainter& p, const TimelineScene& s, double factor, qint64 originX, qint64 left,
                  qint64 right, int height) {
    if (!s.markers || s.markers->isEmpty())
        return;
    QFont bold = s.font;
    bold.setBold(true);
    const QFontMetrics fm(bold);
    // Room for the widest time text (a sign and four hour digits).
    const qint64 margin = TextAdvance(bold, QStringLiteral("-0000:00:00")) + TextGap + 1;
    // A cheap test on the time first; the exact pixel test follows.
    const double lowTime = (left - margin - 1) / factor;
    const double highTime = (right + 1) / factor;
    BoxedTextPainter texts(p, bold, TimelineColours::Marker);
    std::optional<BoxedTextPainter> names;
    if (s.markerNames)
        names.emplace(p, s.font, TimelineColours::MarkerName);
    // Whole device pixels keep "covered" exact; the names' boxes must be as
    // tall as the times' for one band of columns to stand for both.
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const bool leaveOutCovered =
        dpr == std::floor(dpr) && (!names || QFontMetrics(s.font).height() == fm.height());
    // Neighbouring markers mostly share their text (whole seconds).
    QString text;
    qint64 textSecond = -1;
    auto timeText = [&](double time) -> const QString& {
        const qint64 second = time >= 0 ? static_cast<qint64>(std::min(time, 1e12)) : -1;
        if (second < 0 || second != textSecond) {
            text = SecondsToTimeStr(time, false);
            textSecond = second;
        }
        return text;
    };
    TimeTextBound timeBound(bold);
    CoveredColumns band(left, right);   // the rows of the texts
    CoveredColumns lines(left, right);  // all rows
    std::vector<MarkerDrawing> drawings;
    const TMarkerList& markers = *s.markers;
    for (qsizetype i = markers.size() - 1; i >= 0; --i) {
        const TMarker& m = markers[i];
        // A description reaches up to the next marker, so the last marker
        // left of the window may still show the end of its own.
        const bool nameReachesIn = names && m.Time < lowTime &&
                                   (i + 1 == markers.size() || markers[i + 1].Time >= lowTime);
        if (!(m.Time >= lowTime && m.Time <= highTime) && !nameReachesIn)
            continue;
        MarkerDrawing d{i, PixelOfTime(m.Time, factor)};
        const bool inView = d.x >= left - margin && d.x < right;
        if (!inView && !nameReachesIn)
            continue;
        // In the reverse of the drawing order: description, time, line.
        if (names && !m.Description.isEmpty()) {
            const qint64 end = i + 1 < markers.size() ? PixelOfTime(markers[i + 1].Time, factor) : s.pictureWidth;
            // Whatever its text, the description lies in [x + TextGap, end - 1).
            if (!leaveOutCovered || !band.covers(d.x + TextGap, end - 1)) {
                d.nameX = d.x + TextGap + texts.width(timeText(m.Time)) + NameGap;
                if (d.nameX < end && end > left) {
                    d.nameWidth = static_cast<int>(
                        std::min<qint64>(std::min<qint64>(end - 1 - d.nameX, 1 << 20), names->width(m.Description)));
                    d.name = d.nameWidth > 0 &&
                             (!leaveOutCovered || !band.covers(d.nameX, d.nameX + d.nameWidth));
                    if (d.name)
                        band.cover(d.nameX, d.nameX + d.nameWidth);
                }
            }
        }
        if (inView) {
            const qint64 textX = d.x + TextGap;
            if (!leaveOutCovered || !band.covers(textX, textX + timeBound.width(m.Time))) {
                const qint64 width = texts.width(timeText(m.Time));
                d.time = !leaveOutCovered || !band.covers(textX, textX + width);
                if (d.time)
                    band.cover(textX, textX + width);
            }
            d.line = !leaveOutCovered || !lines.covers(d.x, d.x + 1);
            if (d.line) {
                lines.cover(d.x, d.x + 1);
                band.cover(d.x, d.x + 1);
            }
        }
        if (d.line || d.time || d.name)
            drawings.push_back(d);
    }
    // Lines side by side go out as one rectangle; a text drawn after them
    // must find them drawn.
    qint64 runFrom = 0;
    qint64 runTo = 0;
    auto drawRun = [&] {
        if (runTo > runFrom)
            p.fillRect(static_cast<int>(runFrom - originX), 0, static_cast<int>(runTo - runFrom), height,
                       TimelineColours::Marker);
        runFrom = runTo = 0;
    };
    for (auto d = drawings.rbegin(); d != drawings.rend(); ++d) {
        const TMarker& m = markers[d->index];
        if (d->line) {
            if (runTo > runFrom && d->x == runTo) {
                ++runTo;
            } else {
                drawRun();
                runFrom = d->x;
                runTo = d->x + 1;
            }
        }
        if (d->time || d->name)
            drawRun();
        if (d->time)
            texts.draw(static_cast<int>(d->x - originX) + TextGap, MarkerTextTop, timeText(m.Time));
        if (d->name)
            names->drawClipped(static_cast<int>(d->nameX - originX), MarkerTextTop, m.Description, d->nameWidth);
    }
    drawRun();
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
    if (s.waveform)
        waveformStrip().paint(p, s, factor, area, left, right);
    else
        p.fillRect(area, TimelineColours::Field);
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
