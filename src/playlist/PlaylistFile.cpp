#include "playlist/PlaylistFile.h"

#include "platform/AppError.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned
// bytes are kept as the C1 controls of the same value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QString decodeWith(QStringDecoder::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

QString decodeText(const QByteArray& bytes) {
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringDecoder::Utf8, view.sliced(3));
    if (view.startsWith("\xFF\xFE"))
        return decodeWith(QStringDecoder::Utf16LE, view.sliced(2));
    if (view.startsWith("\xFE\xFF"))
        return decodeWith(QStringDecoder::Utf16BE, view.sliced(2));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    return decodeCp1252(view);
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == '\r' && i + 1 < size && text.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

}  // namespace

QStringList DecodePlaylist(const QByteArray& bytes) {
    return splitLines(decodeText(bytes));
}

QByteArray EncodePlaylist(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes.append(line.toUtf8());
        bytes.append("\r\n");
    }
    return bytes;
}

QStringList ReadPlaylistFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
    return DecodePlaylist(bytes);
}

void WritePlaylistFile(const QString& fileName, const QStringList& lines) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray bytes = EncodePlaylist(lines);
    // flush() reports a full disk; commit() alone would rename a short file
    // over the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw AppError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}
