#pragma once
// A label whose caption may hold carriage returns, each starting a new line
// ("Vol" + CR + "100" shows on two lines). caption() gives the text as set.

#include <QLabel>

class CaptionLabel : public QLabel {
public:
    using QLabel::QLabel;

    void setCaption(const QString& caption) {
        caption_ = caption;
        QString shown = caption;
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        setText(shown);
    }
    const QString& caption() const { return caption_; }

private:
    QString caption_;
};
