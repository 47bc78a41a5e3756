#pragma once
// The program's own pictures (resources/images, all PNG), read with Qt's own
// PNG reader and nothing else: a reader left to guess the format loads every
// image plugin installed, to ask each whether it knows the file.

#include <QPixmap>
#include <QString>

// The picture :/images/<name>.png; a null pixmap when it cannot be read.
QPixmap ProgramPicture(const QString& name);
