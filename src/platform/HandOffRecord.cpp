#include "platform/HandOffRecord.h"

#include <QtEndian>

namespace HandOffRecord {

QByteArray build(const QString& path) {
    // A NUL inside the text would end it early on receipt; what follows it
    // is never sent.
    const qsizetype nul = path.indexOf(QChar(0));
    const QString text = nul >= 0 ? path.left(nul) : path;
    const quint32 cbData = quint32((text.size() + 1) * 2);

    QByteArray record(kHeaderSize + cbData, '\0');
    char* out = record.data();
    qToLittleEndian<quint32>(cbData, out + 8);
    char* data = out + kHeaderSize;
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text.at(i).unicode(), data + 2 * i);
    return record;  // the final NUL unit is already zero
}

std::optional<qsizetype> totalSize(const QByteArray& header) {
    if (header.size() < kHeaderSize)
        return std::nullopt;
    const quint32 cbData = qFromLittleEndian<quint32>(header.constData() + 8);
    if (cbData == 0 || cbData % 2 != 0 || cbData > kMaxDataSize)
        return std::nullopt;
    return kHeaderSize + qsizetype(cbData);
}

std::optional<QString> parse(const QByteArray& record) {
    const std::optional<qsizetype> size = totalSize(record);
    if (!size || *size != record.size())
        return std::nullopt;
    const char* data = record.constData() + kHeaderSize;
    const qsizetype units = (record.size() - kHeaderSize) / 2;
    QString path;
    path.reserve(units);
    for (qsizetype i = 0; i < units; ++i) {
        const quint16 unit = qFromLittleEndian<quint16>(data + 2 * i);
        if (unit == 0)
            break;
        path.append(QChar(unit));
    }
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

}  // namespace HandOffRecord
