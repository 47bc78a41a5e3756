#include "controls/uQrGbar.h"

#include <QMouseEvent>
#include <QPainter>

#include <climits>
#include <cmath>

namespace QrGbar {

namespace {

// Nearest integer, halves to the even neighbour (the FPU's default mode),
// saturated so a wild pointer coordinate cannot overflow.
qint64 Round(double x) {
    if (std::isnan(x))
        return 0;
    const double r = std::nearbyint(x);
    if (r >= double(INT_MAX))
        return INT_MAX;
    if (r <= double(INT_MIN))
        return INT_MIN;
    return qint64(r);
}

int Saturate(qint64 v) {
    return int(qBound(qint64(INT_MIN), v, qint64(INT_MAX)));
}

}  // namespace

int ValueToPixel(const State& s, int w, int h, int v) {
    const double M = s.Max;
    const bool horizontal = s.Direction == gbdHorisontal;
    const int L = horizontal ? w : h;
    // Horizontal bars measure from the left, vertical ones from the bottom.
    const double units = horizontal ? double(v) : M - double(v);
    if (s.Border) {
        const double scale = (L - 2) / M;
        const qint64 p = Round(units * scale) + 1;
        if (p > L - 1)
            return L - 1;
        if (p < 1)
            return 1;
        return int(p);
    }
    const double scale = L / M;
    return int(qBound(qint64(0), Round(units * scale), qint64(L)));
}

int PixelToValue(const State& s, int w, int h, int c) {
    const double M = s.Max;
    const bool horizontal = s.Direction == gbdHorisontal;
    const int L = horizontal ? w : h;
    const double scale = s.Border ? (L - 2) / M : L / M;
    // Too short to point at anything: the value stays.
    if (scale == 0.0 || std::isnan(scale))
        return s.Value;
    const double offset = s.Border ? double(c) - 1.0 : double(c);
    const qint64 units = Round(offset / scale);
    const qint64 value = horizontal ? units : qint64(s.Max) - units;
    return value > s.Max ? s.Max : Saturate(value);
}

QRect BarRect(const State& s, int w, int h) {
    const int p = ValueToPixel(s, w, h, s.Value);
    const int b = s.Border ? 1 : 0;
    int left = b, top = b, right = w - b, bottom = h - b;
    if (s.Direction == gbdHorisontal)
        right = p;
    else
        top = p;
    if (right <= left || bottom <= top)
        return QRect();
    return QRect(left, top, right - left, bottom - top);
}

void Paint(QPainter& painter, const State& s, int w, int h) {
    if (s.Border) {
        // A one-pixel frame on the outermost pixels, background inside.
        painter.fillRect(0, 0, w, h, ToQColor(s.BorderColor));
        if (w > 2 && h > 2)
            painter.fillRect(1, 1, w - 2, h - 2, ToQColor(s.BgColor));
    } else {
        painter.fillRect(0, 0, w, h, ToQColor(s.BgColor));
    }
    const QRect bar = BarRect(s, w, h);
    if (!bar.isEmpty())
        painter.fillRect(bar, ToQColor(s.BarColor));
}

QImage Render(const State& s, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter, s, size.width(), size.height());
    return image;
}

}  // namespace QrGbar

TQrGbar::TQrGbar(QWidget* AOwner) : QWidget(AOwner) {
    // Every paint covers the whole rectangle.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // OnMouseMove also without a button, like any control
    resize(200, 12);
}

void TQrGbar::SetBorder(bool value) {
    F.Border = value;
    update();
}

void TQrGbar::SetDirection(TgbDirection value) {
    F.Direction = value;
    update();
}

void TQrGbar::SetBorderColor(TColor value) {
    F.BorderColor = value;
    update();
}

void TQrGbar::SetBarColor(TColor value) {
    F.BarColor = value;
    update();
}

void TQrGbar::SetBgColor(TColor value) {
    F.BgColor = value;
    update();
}

void TQrGbar::SetMax(int value) {
    // A maximum of 0 would make every scale factor undefined.
    if (value == 0)
        return;
    F.Max = value;
    if (F.Max < F.Value)
        F.Value = F.Max;
    update();
}

void TQrGbar::SetValue(int value) {
    if (value > F.Max)
        value = F.Max;
    else if (value < 0)
        value = 0;
    const bool changed = value != F.Value;
    F.Value = value;
    emit OnChange(this);
    // An unchanged value would paint the same picture: the level meter is set
    // 40 times a second, mostly to the value it has.
    if (changed)
        repaint();
}

void TQrGbar::SetValueFromPoint(int X, int Y) {
    const int c = F.Direction == gbdHorisontal ? X : Y;
    SetValue(QrGbar::PixelToValue(F, width(), height(), c));
}

void TQrGbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QrGbar::Paint(painter, F, width(), height());
}

void TQrGbar::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit OnMouseDown(this, event->button(), pos);
    if (event->button() == Qt::LeftButton)
        FLeftPressed = true;
    if (!FSetByMouse)
        return;
    emit OnStartChange(this);
    SetValueFromPoint(pos.x(), pos.y());
    emit OnChange(this);
}

void TQrGbar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit OnMouseMove(this, event->buttons(), pos);
    if (!FSetByMouse || !(event->buttons() & Qt::LeftButton))
        return;
    SetValueFromPoint(pos.x(), pos.y());
    emit OnChange(this);
}

void TQrGbar::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && FLeftPressed) {
        FLeftPressed = false;
        if (rect().contains(pos))
            emit OnClick(this);
    }
    emit OnMouseUp(this, event->button(), pos);
    if (!FSetByMouse)
        return;
    SetValue(F.Value);
    emit OnEndChange(this);
}

void TQrGbar::enterEvent(QEnterEvent*) { emit OnMouseEnter(this); }

void TQrGbar::leaveEvent(QEvent*) { emit OnMouseLeave(this); }
