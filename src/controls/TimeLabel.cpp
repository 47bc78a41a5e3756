#include "controls/TimeLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextLayout>

namespace {

constexpr QStringView TimeCharacters = u"0123456789:.";

// `text` laid out on one line in `font` as painting it would; nothing when
// it takes more than one run (another font for some character).
std::optional<QGlyphRun> Shaped(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1)
        return std::nullopt;
    return runs.front();
}

}  // namespace

int TimeGlyphs::IndexOf(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c == u':')
        return 10;
    if (c == u'.')
        return 11;
    return -1;
}

TimeGlyphs::TimeGlyphs(const QFont& font) {
    const std::optional<QGlyphRun> all = Shaped(TimeCharacters.toString(), font);
    if (!all || all->glyphIndexes().size() != Count)
        return;
    m_font = all->rawFont();
    const QList<quint32> glyphs = all->glyphIndexes();
    const QList<QPointF> advances = m_font.advancesForGlyphIndexes(glyphs);
    if (advances.size() != Count)
        return;
    for (int i = 0; i < Count; ++i) {
        m_glyph[size_t(i)] = glyphs[i];
        m_advance[size_t(i)] = advances[i].x();
    }
    m_usable = placesLikeShaping(font);
}

// Each character beside every one of them, on both sides, shaped as a whole
// must give the same glyphs at the same places as the cached ones.
bool TimeGlyphs::placesLikeShaping(const QFont& font) const {
    for (const QChar first : TimeCharacters) {
        QString pairs;
        for (const QChar second : TimeCharacters) {
            pairs += first;
            pairs += second;
        }
        const std::optional<QGlyphRun> shaped = Shaped(pairs, font);
        const std::optional<QGlyphRun> cached = place(pairs, nullptr);
        if (!shaped || !cached || shaped->rawFont() != m_font || shaped->glyphIndexes() != cached->glyphIndexes())
            return false;
        const QList<QPointF> at = shaped->positions();
        const QList<QPointF> expected = cached->positions();
        for (qsizetype i = 0; i < at.size(); ++i)
            if (at[i] - at[0] != expected[i])
                return false;
    }
    return true;
}

std::optional<QGlyphRun> TimeGlyphs::run(QStringView text, qreal* width) const {
    return m_usable ? place(text, width) : std::nullopt;
}

std::optional<QGlyphRun> TimeGlyphs::place(QStringView text, qreal* width) const {
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    qreal x = 0;
    for (const QChar c : text) {
        const int i = IndexOf(c);
        if (i < 0)
            return std::nullopt;
        glyphs.push_back(m_glyph[size_t(i)]);
        positions.push_back(QPointF(x, 0));
        x += m_advance[size_t(i)];
    }
    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    if (width)
        *width = x;
    return run;
}

// What QLabel paints through one QPainter::drawText of its text, left
// aligned in its contents rectangle.
bool TimeLabel::plainLeftAligned() const {
    const Qt::Alignment horizontal =
        QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
    return isEnabled() && (textFormat() == Qt::PlainText || textFormat() == Qt::AutoText) &&
           layoutDirection() == Qt::LeftToRight && horizontal == Qt::AlignLeft && frameWidth() == 0 &&
           margin() == 0 && indent() <= 0 && !wordWrap() &&
           !(textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable));
}

bool TimeLabel::paintFromGlyphs() {
    const QString shown = text();
    if (shown.isEmpty() || !plainLeftAligned())
        return false;
    const QFont deviceFont(font(), this);
    if (!m_glyphs || deviceFont != m_glyphsFont) {
        m_glyphs.emplace(deviceFont);
        m_glyphsFont = deviceFont;
        m_baselineRect = QRect();
    }
    qreal width = 0;
    const std::optional<QGlyphRun> run = m_glyphs->run(shown, &width);
    if (!run)
        return false;
    const QRect rect = contentsRect();
    if (rect != m_baselineRect || alignment() != m_baselineAlignment) {
        // Where drawText puts the line does not depend on the digits.
        const QFontMetricsF metrics(deviceFont);
        const QRectF line =
            metrics.boundingRect(QRectF(rect), int(alignment() | Qt::TextForceLeftToRight), QStringLiteral("0"));
        m_baseline = QPointF(line.left(), line.top() + metrics.ascent());
        m_lineHeight = line.height();
        m_baselineRect = rect;
        m_baselineAlignment = alignment();
    }
    // QLabel clips a text that does not fit; that is left to it.
    if (m_baseline.x() + width > rect.x() + rect.width() || m_lineHeight > rect.height())
        return false;
    QPainter painter(this);
    drawFrame(&painter);
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    painter.drawGlyphRun(m_baseline, *run);
    return true;
}

void TimeLabel::paintEvent(QPaintEvent* event) {
    if (!paintFromGlyphs())
        QLabel::paintEvent(event);
}
