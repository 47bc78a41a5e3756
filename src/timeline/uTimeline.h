#pragma once
// The timeline's controls: TimelineScrollBox (ScrollBox1), a black strip 78
// pixels high with a horizontal scroll bar, holding TimelinePaintBox
// (PaintBox1), the visible window onto the timeline picture.
//
// The picture may be wider than any widget can be (over a million pixels for
// an hour at 320 px/s). So the paint box is only as wide as the view and
// keeps the picture's width and the scroll position as numbers; the scroll
// bar's range is the picture's width minus the view's width. Mouse positions
// are reported in picture pixels, painting gets the scroll position as an
// x offset. GUI thread only.

#include <QFrame>
#include <QWidget>
#include <functional>

class QScrollBar;

class TimelinePaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TimelinePaintBox(QWidget* parent = nullptr);

    // The picture's width in pixels ("the paint box's width").
    qint64 pictureWidth() const { return pictureWidth_; }
    void setPictureWidth(qint64 width);
    // Picture x of the view's left edge; set by the scroll box.
    qint64 origin() const { return origin_; }
    void setOrigin(qint64 origin);

    // Paints the exposed part (widget coordinates) of the view. Unset: the
    // black background shows.
    std::function<void(QPainter& canvas, const QRect& exposed)> onPaint;
    // The tool tip at picture x; empty text shows none. Unset: no tool tips.
    std::function<QString(qint64 pictureX)> toolTipAt;

signals:
    // Pointer events with X in picture pixels and Y in widget pixels.
    void mousePressed(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                      int X, int Y);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X, int Y);
    void mouseReleased(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                       int X, int Y);
    void pictureWidthChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int pictureX(const QMouseEvent* event) const;

    qint64 pictureWidth_ = 0;
    qint64 origin_ = 0;
};

class TimelineScrollBox : public QFrame {
    Q_OBJECT
public:
    static constexpr int DesignHeight = 78;

    explicit TimelineScrollBox(QWidget* parent = nullptr);

    TimelinePaintBox* paintBox() const { return paintBox_; }
    // The same names a scroll area offers: the bar and the viewed widget.
    QScrollBar* horizontalScrollBar() const { return bar_; }
    QWidget* viewport() const { return paintBox_; }

    // The width of the view onto the picture (W of the scrolling rule).
    int clientWidth() const;
    // The horizontal scroll position (P of the scrolling rule).
    qint64 horzPosition() const;
    // Scrolls to position, limited to 0 .. picture width - client width.
    // Never counts as a manual scroll.
    void setHorzPosition(qint64 position);

signals:
    // The user moved the view: the scroll bar was used, or the wheel was
    // turned over the box. Emitted before the box scrolls.
    void userScrolled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateRange();

    TimelinePaintBox* paintBox_ = nullptr;
    QScrollBar* bar_ = nullptr;
};
