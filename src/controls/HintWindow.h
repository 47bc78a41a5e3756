#pragma once
// A small hint that floats beside a control without ever taking the mouse,
// the wheel or the focus: the desktop hands whatever happens under it to the
// window below, so a hint left over a neighbouring control costs no click
// and no wheel turn.

#include <QLabel>
#include <QTimer>

class HintWindow : public QLabel {
    Q_OBJECT
public:
    static constexpr int kShowMs = 2500;  // hides itself after this long

    // owner: the window the hint belongs to (it is destroyed with it).
    explicit HintWindow(QWidget* owner);

    // Shows text centred over anchor, its bottom edge just above anchor's top
    // edge, so it covers neither anchor nor its neighbours in the same row.
    void showAbove(QWidget* anchor, const QString& text);

private:
    QTimer hideTimer_;
};
