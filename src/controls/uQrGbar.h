#pragma once
// TQrGbar: a self-painted gauge bar showing 0..Max as a filled bar,
// horizontal (growing from the left) or vertical (growing from the bottom),
// optionally set with the mouse. Used as volume slider, level meter and
// equalizer band. It knows nothing of audio; its owner reacts to its signals.
//
// The drawing lives in free functions (QrGbar::Render and the two mappings)
// so it can be checked pixel by pixel without a window.

#include "platform/TColor.h"

#include <QImage>
#include <QWidget>

class QPainter;

enum TgbDirection : quint8 { gbdHorisontal = 0, gbdVertical = 1 };

namespace QrGbar {

// Everything that decides the picture.
struct State {
    bool Border = true;
    TgbDirection Direction = gbdHorisontal;
    TColor BarColor = clNavy;
    TColor BorderColor = clBlack;
    TColor BgColor = clWhite;
    int Max = 100;
    int Value = 0;
};

// Coordinate of the bar's moving edge for value v in a bar of size w x h.
int ValueToPixel(const State& s, int w, int h, int v);
// Value under pointer coordinate c (x for horizontal, y for vertical bars).
// Capped at Max, not below: the value setter turns a negative result into 0.
int PixelToValue(const State& s, int w, int h, int c);
// The part filled with BarColor (right and bottom edges exclusive).
QRect BarRect(const State& s, int w, int h);
// Paints the whole w x h rectangle: frame or background, then the bar.
void Paint(QPainter& painter, const State& s, int w, int h);
QImage Render(const State& s, QSize size);

}  // namespace QrGbar

class TQrGbar : public QWidget {
    Q_OBJECT
public:
    explicit TQrGbar(QWidget* AOwner = nullptr);

    // The look setters store and schedule a repaint; they fire nothing.
    bool Border() const { return F.Border; }
    void SetBorder(bool value);
    TgbDirection Direction() const { return F.Direction; }
    void SetDirection(TgbDirection value);
    TColor BorderColor() const { return F.BorderColor; }
    void SetBorderColor(TColor value);
    TColor BarColor() const { return F.BarColor; }
    void SetBarColor(TColor value);
    TColor BgColor() const { return F.BgColor; }
    void SetBgColor(TColor value);
    int Max() const { return F.Max; }
    // 0 is ignored; a maximum below the value lowers the value without OnChange.
    void SetMax(int value);
    // Value, Position and Progress are one value, clamped to 0..Max. Every
    // assignment fires OnChange, also when the value stays the same; a
    // changed value then repaints at once.
    int Value() const { return F.Value; }
    void SetValue(int value);
    int Position() const { return F.Value; }
    void SetPosition(int value) { SetValue(value); }
    int Progress() const { return F.Value; }
    void SetProgress(int value) { SetValue(value); }
    bool SetByMouse() const { return FSetByMouse; }
    void SetSetByMouse(bool value) { FSetByMouse = value; }

    const QrGbar::State& State() const { return F; }

signals:
    // The plain mouse events fire before the bar reacts to the same event.
    void OnMouseDown(TQrGbar* Sender, Qt::MouseButton Button, QPoint Pos);
    void OnMouseMove(TQrGbar* Sender, Qt::MouseButtons Buttons, QPoint Pos);
    void OnMouseUp(TQrGbar* Sender, Qt::MouseButton Button, QPoint Pos);
    void OnMouseEnter(TQrGbar* Sender);
    void OnMouseLeave(TQrGbar* Sender);
    // A left press and release both on the bar; fires just before OnMouseUp.
    void OnClick(TQrGbar* Sender);
    // A press begins a change and the release ends it. A click gives
    // OnStartChange, OnChange x3, OnEndChange.
    void OnStartChange(TQrGbar* Sender);
    void OnEndChange(TQrGbar* Sender);
    void OnChange(TQrGbar* Sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetValueFromPoint(int X, int Y);

    QrGbar::State F;
    bool FSetByMouse = true;
    bool FLeftPressed = false;  // a left press on the bar awaits its release (OnClick)
};
