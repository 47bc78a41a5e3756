#include "controls/StyleImages.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>

#include <optional>

namespace {

class DeferredStyleEngine final : public QIconEngine {
public:
    explicit DeferredStyleEngine(QStyle::StandardPixmap image) : image_(image) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }

    QString key() const override { return QStringLiteral("VelmoDeferredStyleImage"); }

    QIconEngine* clone() const override { return new DeferredStyleEngine(*this); }

private:
    const QIcon& icon() {
        if (!icon_)
            icon_ = QApplication::style()->standardIcon(image_);
        return *icon_;
    }

    QStyle::StandardPixmap image_;
    std::optional<QIcon> icon_;
};

}  // namespace

QIcon StyleImage(QStyle::StandardPixmap image) {
    return QIcon(new DeferredStyleEngine(image));
}
