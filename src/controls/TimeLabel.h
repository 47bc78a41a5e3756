#pragma once
// TimeLabel: a label for a time that changes 40 times a second while playing
// ("00:01:23.456"). Its digits, colons and points are shaped once per font
// and a new time is drawn from those glyphs, so a tick costs no text
// shaping; the picture is the one a QLabel draws. Any other text, a font
// that kerns, joins or substitutes these characters, or a label QLabel
// paints differently (frame, margin, indent, wrapping, disabled, another
// alignment) is painted by QLabel itself.

#include <QGlyphRun>
#include <QLabel>
#include <QRawFont>

#include <array>
#include <optional>

// The glyphs of "0123456789:." in one font, shaped once.
class TimeGlyphs {
public:
    explicit TimeGlyphs(const QFont& font);

    // The glyphs of `text` side by side from x = 0 on the baseline y = 0,
    // as shaping the text would place them, and the run's width; nothing
    // when the text holds another character or the font changes these
    // characters next to each other (kerning, ligatures).
    std::optional<QGlyphRun> run(QStringView text, qreal* width = nullptr) const;

private:
    static constexpr int Count = 12;
    static int IndexOf(QChar c);
    std::optional<QGlyphRun> place(QStringView text, qreal* width) const;
    bool placesLikeShaping(const QFont& font) const;

    QRawFont m_font;
    std::array<quint32, Count> m_glyph{};
    std::array<qreal, Count> m_advance{};
    bool m_usable = false;
};

class TimeLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool paintFromGlyphs();
    bool plainLeftAligned() const;

    std::optional<TimeGlyphs> m_glyphs;  // for m_glyphsFont; made at the first paint
    QFont m_glyphsFont;
    // The baseline's left end and the line's height for the last contents
    // rectangle and alignment.
    QRect m_baselineRect;
    Qt::Alignment m_baselineAlignment;
    QPointF m_baseline;
    qreal m_lineHeight = 0;
};
