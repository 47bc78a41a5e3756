#include "controls/ButtonImages.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace {

const QColor Ink(235, 235, 235);
const QColor Accent(120, 220, 120);
const QColor Warn(235, 110, 100);
const QColor Marker(230, 70, 60);
const QColor DisabledInk(120, 120, 120);

QPainterPath triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath p;
    p.moveTo(a);
    p.lineTo(b);
    p.lineTo(c);
    p.closeSubpath();
    return p;
}

void strokeLine(QPainter& p, const QColor& c, qreal width, QPointF a, QPointF b) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(a, b);
}

void plusSign(QPainter& p, const QColor& c, QPointF centre, qreal half) {
    strokeLine(p, c, 2.2, centre - QPointF(half, 0), centre + QPointF(half, 0));
    strokeLine(p, c, 2.2, centre - QPointF(0, half), centre + QPointF(0, half));
}

void minusSign(QPainter& p, const QColor& c, QPointF centre, qreal half) {
    strokeLine(p, c, 2.2, centre - QPointF(half, 0), centre + QPointF(half, 0));
}

// The red "remove" cross in the lower right corner.
void removeCross(QPainter& p) {
    strokeLine(p, Warn, 2.2, QPointF(13.5, 12.5), QPointF(20.5, 19.5));
    strokeLine(p, Warn, 2.2, QPointF(20.5, 12.5), QPointF(13.5, 19.5));
}

void markerFlag(QPainter& p, qreal x) {
    strokeLine(p, Marker, 2.0, QPointF(x, 3), QPointF(x, 21));
    p.setPen(Qt::NoPen);
    p.setBrush(Marker);
    p.drawPath(triangle(QPointF(x, 3), QPointF(x + 6, 6), QPointF(x, 9)));
}

void magnifier(QPainter& p) {
    p.setPen(QPen(Ink, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    strokeLine(p, Ink, 3.0, QPointF(15, 15), QPointF(21, 21));
}

void listLines(QPainter& p, qreal left) {
    for (int i = 0; i < 3; ++i)
        strokeLine(p, Ink, 2.0, QPointF(left, 6 + i * 6), QPointF(left + 10, 6 + i * 6));
}

void folderShape(QPainter& p) {
    QPainterPath folder;
    folder.moveTo(3, 6);
    folder.lineTo(9, 6);
    folder.lineTo(11, 8);
    folder.lineTo(20, 8);
    folder.lineTo(20, 19);
    folder.lineTo(3, 19);
    folder.closeSubpath();
    p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(200, 170, 80));
    p.drawPath(folder);
}

// Draws glyph on the 24 x 24 grid.
void paintGlyph(QPainter& p, ButtonGlyph glyph) {
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case ButtonGlyph::Open:
        folderShape(p);
        break;
    case ButtonGlyph::Play:
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawPath(triangle(QPointF(6, 3.5), QPointF(20, 12), QPointF(6, 20.5)));
        break;
    case ButtonGlyph::Pause:
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawRoundedRect(QRectF(5.5, 4, 4.5, 16), 1, 1);
        p.drawRoundedRect(QRectF(14, 4, 4.5, 16), 1, 1);
        break;
    case ButtonGlyph::Stop:
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawRoundedRect(QRectF(5.5, 5.5, 13, 13), 1.5, 1.5);
        break;
    case ButtonGlyph::PreviousMarker:
        markerFlag(p, 16);
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawPath(triangle(QPointF(12, 7), QPointF(4, 12), QPointF(12, 17)));
        break;
    case ButtonGlyph::NextMarker:
        markerFlag(p, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawPath(triangle(QPointF(12, 7), QPointF(20, 12), QPointF(12, 17)));
        break;
    case ButtonGlyph::AddMarker:
        markerFlag(p, 7);
        plusSign(p, Accent, QPointF(17, 16), 4);
        break;
    case ButtonGlyph::DeleteMarker:
        markerFlag(p, 7);
        removeCross(p);
        break;
    case ButtonGlyph::ZoomIn:
        magnifier(p);
        plusSign(p, Ink, QPointF(10, 10), 3.5);
        break;
    case ButtonGlyph::ZoomOut:
        magnifier(p);
        minusSign(p, Ink, QPointF(10, 10), 3.5);
        break;
    case ButtonGlyph::AddToPlayList:
        listLines(p, 3);
        plusSign(p, Accent, QPointF(17, 17), 4.5);
        break;
    case ButtonGlyph::PreviousFile:
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawRect(QRectF(4, 5, 2.5, 14));
        p.drawPath(triangle(QPointF(20, 5), QPointF(8, 12), QPointF(20, 19)));
        break;
    case ButtonGlyph::NextFile:
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawRect(QRectF(17.5, 5, 2.5, 14));
        p.drawPath(triangle(QPointF(4, 5), QPointF(16, 12), QPointF(4, 19)));
        break;
    case ButtonGlyph::PlayList:
        listLines(p, 3);
        strokeLine(p, Ink, 2.0, QPointF(3, 18), QPointF(13, 18));
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawPath(triangle(QPointF(15, 11), QPointF(22, 15.5), QPointF(15, 20)));
        break;
    case ButtonGlyph::Options: {
        p.setPen(QPen(Ink, 2.6, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(12, 12);
            p.rotate(i * 45.0);
            p.drawLine(QPointF(0, -6.5), QPointF(0, -9.5));
            p.restore();
        }
        p.setPen(QPen(Ink, 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(12, 12), 5.5, 5.5);
        p.drawEllipse(QPointF(12, 12), 1.8, 1.8);
        break;
    }
    case ButtonGlyph::Compact:
        p.setPen(QPen(Ink, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(3, 3, 18, 18));
        p.setBrush(Ink);
        p.drawRect(QRectF(11, 11, 7, 7));
        strokeLine(p, Ink, 1.8, QPointF(6, 6), QPointF(10, 10));
        break;
    case ButtonGlyph::Edit: {
        QPainterPath pencil;
        pencil.moveTo(5, 19);
        pencil.lineTo(6, 15);
        pencil.lineTo(16, 5);
        pencil.lineTo(19, 8);
        pencil.lineTo(9, 18);
        pencil.closeSubpath();
        p.setPen(QPen(Ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(230, 190, 90));
        p.drawPath(pencil);
        break;
    }
    case ButtonGlyph::Delete:
        strokeLine(p, Warn, 2.6, QPointF(6, 6), QPointF(18, 18));
        strokeLine(p, Warn, 2.6, QPointF(18, 6), QPointF(6, 18));
        break;
    case ButtonGlyph::Save:
        p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(70, 120, 200));
        p.drawRoundedRect(QRectF(4, 4, 16, 16), 2, 2);
        p.setBrush(Ink);
        p.drawRect(QRectF(8, 4, 8, 5));
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(7, 13, 10, 7));
        break;
    case ButtonGlyph::Help: {
        p.setPen(QPen(Ink, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(12, 12), 9, 9);
        QFont f;
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case ButtonGlyph::About: {
        p.setPen(QPen(Ink, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(12, 12), 9, 9);
        strokeLine(p, Ink, 2.4, QPointF(12, 11), QPointF(12, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawEllipse(QPointF(12, 7.3), 1.4, 1.4);
        break;
    }
    case ButtonGlyph::ClearList:
        listLines(p, 3);
        removeCross(p);
        break;
    case ButtonGlyph::AddFolder:
        folderShape(p);
        plusSign(p, Accent, QPointF(17, 17), 4.5);
        break;
    case ButtonGlyph::RemoveLine:
        listLines(p, 3);
        minusSign(p, Warn, QPointF(17, 17), 4.5);
        break;
    }
}

class GlyphEngine final : public QIconEngine {
public:
    explicit GlyphEngine(ButtonGlyph glyph) : glyph_(glyph) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 24.0, rect.height() / 24.0);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        paintGlyph(*painter, glyph_);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QPixmap pm(size * scale);
        pm.fill(Qt::transparent);
        pm.setDevicePixelRatio(scale);
        QPainter painter(&pm);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new GlyphEngine(glyph_); }

private:
    ButtonGlyph glyph_;
};

}  // namespace

QIcon ButtonImage(ButtonGlyph glyph) {
    return QIcon(new GlyphEngine(glyph));
}

QToolButton* MakeFlatButton(QWidget* parent, const char* name, ButtonGlyph glyph, const QString& hint,
                            const QRect& place) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setIcon(ButtonImage(glyph));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(place);
    return button;
}
