#pragma once
// Whole-file reads and writes for tests that compare bytes on disk.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes, or "<missing>" so a missing file never equals expected content.
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
