#include "timeline/MarkerFile.h"

#include "platform/AppError.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringView>
#include <cmath>

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

AppError createError(const QString& path, const QString& reason) {
    return AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
}

// A time field: a decimal number with "." as the point, blanks around it
// allowed, an exponent allowed; anything not finite is refused.
bool readTimeField(QStringView field, double& value) {
    bool ok = false;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    value = c.toDouble(field.trimmed(), &ok);
    return ok && std::isfinite(value);
}

void parseLine(QStringView line, TMarkerList& markers) {
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0)
        return;
    const QStringView field = line.left(comma);
    double time = 0.0;
    if (!readTimeField(field, time))
        throw MarkerFileFormatError(QStringLiteral("'%1' is not a valid floating point value").arg(field));
    markers.append(TMarker{time, line.mid(comma + 1).toString()});
}

}  // namespace

QString MarkerFileNameFor(const QString& audioFileName) {
    return audioFileName + QStringLiteral(".mrk");
}

QString MarkerBackupNameFor(const QString& markerFileName) {
    return markerFileName + QStringLiteral(".bak");
}

QByteArray MarkerFileBytes(const TMarkerList& markers) {
    QByteArray bytes(kBom);
    for (const TMarker& m : markers) {
        // asprintf is locale-independent: the point is always ".".
        // Adding 0.0 turns a negative zero into "0.000000".
        bytes += QString::asprintf("%.6f", m.Time + 0.0).toLatin1();
        bytes += ',';
        bytes += m.Description.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool ParseMarkerBytes(const QByteArray& bytes, TMarkerList& markers) {
    QByteArrayView data(bytes);
    if (data.startsWith(kBom))
        data = data.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(data);
    const bool exact = !utf8.hasError();
    const QStringView all(text);
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = start;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        parseLine(all.sliced(start, end - start), markers);
        if (end < all.size() && all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return exact;
}

bool ReadMarkerFile(const QString& path, TMarkerList& markers) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    markers.clear();
    return ParseMarkerBytes(bytes, markers);
}

// Unbuffered: QSaveFile::commit() does not notice a failed flush of its
// buffer (a full disk), so every write must reach the file and be checked.
void WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw createError(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw createError(path, file.errorString());
}

void WriteMarkerFile(const QString& path, const TMarkerList& markers) {
    WriteWholeFile(path, MarkerFileBytes(markers));
}

void BackupMarkerFile(const QString& path) {
    QFile original(path);
    if (!original.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, original.errorString()));
    WriteWholeFile(MarkerBackupNameFor(path), original.readAll());
}
