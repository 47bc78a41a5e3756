#include "controls/HintWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

HintWindow::HintWindow(QWidget* owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                        Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setObjectName(QStringLiteral("HintWindow"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(QToolTip::font());
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setMargin(2);
    hideTimer_.setSingleShot(true);
    hideTimer_.setInterval(kShowMs);
    connect(&hideTimer_, &QTimer::timeout, this, &QWidget::hide);
}

void HintWindow::showAbove(QWidget* anchor, const QString& text) {
    setText(text);
    adjustSize();
    const QPoint top = anchor->mapToGlobal(QPoint(anchor->width() / 2, 0));
    QPoint at(top.x() - width() / 2, top.y() - height() - 2);
    // Kept on the anchor's screen; with no room above, it goes below.
    if (const QScreen* screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        if (at.y() < area.top())
            at.setY(anchor->mapToGlobal(QPoint(0, anchor->height())).y() + 2);
    }
    move(at);
    show();
    raise();
    hideTimer_.start();
}
