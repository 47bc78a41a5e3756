#pragma once
// Stand-in for the gauge bar while the real control is not part of the build.

#include <QColor>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cmath>
#include <functional>

enum TgbDirection { gbdHorisontal = 0, gbdVertical = 1 };

class GaugeStandIn : public QWidget {
public:
    explicit GaugeStandIn(QWidget* parent = nullptr) : QWidget(parent) { resize(200, 12); }
    void SetBorder(bool v) { border_ = v; update(); }
    void SetDirection(TgbDirection d) { direction_ = d; update(); }
    void SetBorderColor(QColor c) { borderColor_ = c; update(); }
    void SetBarColor(QColor c) { barColor_ = c; update(); }
    void SetBgColor(QColor c) { bgColor_ = c; update(); }
    void SetMax(int m) {
        if (m == 0) return;
        max_ = m;
        if (max_ < value_) value_ = max_;
        update();
    }
    void SetValue(int v) {
        value_ = v > max_ ? max_ : (v < 0 ? 0 : v);
        if (OnChange) OnChange(this);
        repaint();
    }
    void SetSetByMouse(bool v) { setByMouse_ = v; }
    int Value() const { return value_; }
    int Max() const { return max_; }
    QColor BarColor() const { return barColor_; }
    std::function<void(GaugeStandIn*)> OnChange;
    std::function<void(GaugeStandIn*)> OnMouseUp;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), bgColor_);
        const int h = height(), w = width();
        const int px = int(std::nearbyint((max_ - value_) * (double(h) / max_)));
        if (direction_ == gbdVertical) p.fillRect(QRect(0, px, w, h - px), barColor_);
        if (border_) { p.setPen(borderColor_); p.drawRect(rect().adjusted(0, 0, -1, -1)); }
    }
    void mousePressEvent(QMouseEvent* e) override { if (setByMouse_) fromY(e->position().y()); }
    void mouseMoveEvent(QMouseEvent* e) override { if (setByMouse_ && (e->buttons() & Qt::LeftButton)) fromY(e->position().y()); }
    void mouseReleaseEvent(QMouseEvent*) override { if (setByMouse_) SetValue(value_); if (OnMouseUp) OnMouseUp(this); }

private:
    void fromY(double y) { SetValue(max_ - int(std::nearbyint(y / (double(height()) / max_)))); }
    bool border_ = true;
    TgbDirection direction_ = gbdHorisontal;
    QColor borderColor_ = Qt::black, barColor_ = QColor(0, 0, 128), bgColor_ = Qt::white;
    int max_ = 100, value_ = 0;
    bool setByMouse_ = true;
};
using TQrGbar = GaugeStandIn;
