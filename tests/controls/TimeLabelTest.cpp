#include "controls/DarkLook.h"
#include "controls/TimeLabel.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

QFont Font(const char* family, int pixels, bool bold = false) {
    QFont font{QString::fromLatin1(family)};
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A label as the main window shows the position: lime on black, a fixed size.
void Dress(QLabel& label, const QFont& font, QSize size) {
    label.setFont(font);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.setTextFormat(Qt::PlainText);
    label.setFixedSize(size);
}

}  // namespace

// The glyphs shaped once give the picture of shaping every new time, in
// several faces and sizes, on odd and even heights (the baseline may fall
// on half a pixel), also for texts the label leaves to QLabel.
TEST(TimeLabel, PaintsWhatQLabelPaints) {
    const QFont fonts[] = {WindowFont(),
                           Font("DejaVu Sans", 13, true),
                           Font("DejaVu Serif", 17),
                           Font("Nimbus Sans", 15),
                           Font("Noto Mono", 11),
                           Font("DejaVu Sans", 24)};
    const QString texts[] = {"00:00:00.000", "01:23:45.678", "12:34:56.789", "99:59:59.999", "00:00:00",
                             "10:11:01.110", "7", ".:.:", "Playing", "-00:01"};
    for (const QFont& font : fonts) {
        for (int extraHeight : {0, 1, 6}) {
            QLabel plain;
            TimeLabel timed;
            const QSize size = QFontMetrics(font).size(0, texts[0]) + QSize(3, extraHeight);
            Dress(plain, font, size);
            Dress(timed, font, size);
            for (const QString& text : texts) {
                plain.setText(text);
                timed.setText(text);
                const QString row = font.family() + QString(" %1px +%2 \"%3\"").arg(font.pixelSize()).arg(extraHeight).arg(text);
                EXPECT_EQ(timed.grab().toImage(), plain.grab().toImage()) << row.toStdString();
            }
        }
    }
    // The comparison is worth something only where the glyphs are used.
    EXPECT_TRUE(TimeGlyphs(WindowFont()).run(u"00:00:00.000").has_value());
}

TEST(TimeLabel, CachesOnlyTimeCharacters) {
    const TimeGlyphs glyphs(WindowFont());
    qreal width = 0;
    const std::optional<QGlyphRun> run = glyphs.run(u"01:02", &width);
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->glyphIndexes().size(), 5);
    EXPECT_DOUBLE_EQ(width, QFontMetricsF(WindowFont()).horizontalAdvance(QStringLiteral("01:02")));
    EXPECT_FALSE(glyphs.run(u"01:02 ").has_value());
    EXPECT_FALSE(glyphs.run(u"-1").has_value());
}
