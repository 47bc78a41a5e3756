#include "timeline/uTimeline.h"

#include "timeline/TimelineRenderer.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <climits>

// ---- TimelinePaintBox -----------------------------------------------------------

TimelinePaintBox::TimelinePaintBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    QFont pictureFont = font();
    pictureFont.setStyleHint(QFont::SansSerif);
    setFont(FitTimelineFont(pictureFont));
}

void TimelinePaintBox::setPictureWidth(qint64 width) {
    width = std::max<qint64>(0, width);
    if (width == pictureWidth_)
        return;
    pictureWidth_ = width;
    emit pictureWidthChanged();
    update();
}

void TimelinePaintBox::setOrigin(qint64 origin) {
    if (origin == origin_)
        return;
    origin_ = origin;
    update();
}

void TimelinePaintBox::paintEvent(QPaintEvent* event) {
    QPainter canvas(this);
    // The scroll box's black shows wherever the picture does not reach.
    canvas.fillRect(event->rect(), Qt::black);
    if (onPaint)
        onPaint(canvas, event->rect());
}

int TimelinePaintBox::pictureX(const QMouseEvent* event) const {
    const qint64 x = origin_ + static_cast<qint64>(std::floor(event->position().x()));
    return static_cast<int>(std::clamp<qint64>(x, INT_MIN, INT_MAX));
}

void TimelinePaintBox::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button(), event->buttons(), event->modifiers(), pictureX(event),
                      static_cast<int>(event->position().y()));
    // A right press goes on to the scroll box, which opens its menu.
    event->setAccepted(event->button() != Qt::RightButton);
}

void TimelinePaintBox::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->buttons(), event->modifiers(), pictureX(event), static_cast<int>(event->position().y()));
}

void TimelinePaintBox::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->button(), event->buttons(), event->modifiers(), pictureX(event),
                       static_cast<int>(event->position().y()));
}

// ---- TimelineScrollBox ----------------------------------------------------------

TimelineScrollBox::TimelineScrollBox(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("ScrollBox1"));
    setFrameShape(QFrame::NoFrame);
    setFixedHeight(DesignHeight);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    paintBox_ = new TimelinePaintBox(this);
    bar_ = new QScrollBar(Qt::Horizontal, this);
    bar_->setObjectName(QStringLiteral("ScrollBox1HorzScrollBar"));
    bar_->setTracking(true);  // the view follows the thumb while it is dragged
    bar_->setSingleStep(8);
    bar_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(paintBox_, 1);
    layout->addWidget(bar_);

    connect(bar_, &QScrollBar::valueChanged, paintBox_, [this](int value) { paintBox_->setOrigin(value); });
    connect(bar_, &QScrollBar::actionTriggered, this, [this](int) { emit userScrolled(); });
    connect(paintBox_, &TimelinePaintBox::pictureWidthChanged, this, &TimelineScrollBox::updateRange);
    paintBox_->installEventFilter(this);
    bar_->installEventFilter(this);
}

int TimelineScrollBox::clientWidth() const { return width(); }

qint64 TimelineScrollBox::horzPosition() const { return bar_->value(); }

void TimelineScrollBox::setHorzPosition(qint64 position) {
    bar_->setValue(static_cast<int>(std::clamp<qint64>(position, bar_->minimum(), bar_->maximum())));
}

void TimelineScrollBox::updateRange() {
    const qint64 room = paintBox_->pictureWidth() - clientWidth();
    const int maximum = static_cast<int>(std::clamp<qint64>(room, 0, INT_MAX));
    bar_->setPageStep(std::max(1, clientWidth()));
    bar_->setRange(0, maximum);  // also limits the value, which moves the view
    bar_->setVisible(maximum > 0);
}

void TimelineScrollBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    updateRange();
}

bool TimelineScrollBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        emit userScrolled();
        if (watched == paintBox_) {
            // The wheel over the picture scrolls it, as over the bar.
            QCoreApplication::sendEvent(bar_, event);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
