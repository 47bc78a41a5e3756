#include "controls/DarkLook.h"

#include "platform/TColor.h"
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

constexpr int HintDelayMs = 200;
constexpr int WindowFontPixels = 17;
constexpr int MinWindowFontPixels = 12;
// Width of the position label in the layout, in pixels.
constexpr int PositionTextRoom = 104;

class HintDelayStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return HintDelayMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

QPalette DarkPalette() {
    const QColor background = ToQColor(clDarkBackground);
    QPalette p;
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(44, 44, 44));
    p.setColor(QPalette::AlternateBase, QColor(52, 52, 52));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, background);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Light, QColor(90, 90, 90));
    p.setColor(QPalette::Midlight, QColor(76, 76, 76));
    p.setColor(QPalette::Mid, QColor(50, 50, 50));
    p.setColor(QPalette::Dark, QColor(30, 30, 30));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(40, 40, 40));
    p.setColor(QPalette::ToolTipText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(130, 130, 130));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(130, 130, 130));
    return p;
}

QFont WindowFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    // The layout was drawn for a narrow 17 px face; a wider desktop font
    // (DejaVu Sans, say) steps down until the position text fits the room
    // the layout gives it, so labels never run into each other.
    for (int pixels = WindowFontPixels; pixels >= MinWindowFontPixels; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(QStringLiteral("00:00:00.000")) <= PositionTextRoom)
            break;
    }
    return font;
}

void InstallHintStyle() {
    if (dynamic_cast<HintDelayStyle*>(QApplication::style()))
        return;
    QApplication::setStyle(new HintDelayStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
}
