#include "platform/ProgramPictures.h"

#include <QImageReader>

QPixmap ProgramPicture(const QString& name) {
    QImageReader reader(QStringLiteral(":/images/") + name + QStringLiteral(".png"), "png");
    // Else the reader still asks every plugin before its own PNG reader.
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
