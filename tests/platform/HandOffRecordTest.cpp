#include "platform/HandOffRecord.h"

#include <gtest/gtest.h>

#include <QtEndian>

namespace {

QByteArray header(quint32 cbData, quint64 dwData = 0) {
    QByteArray h(HandOffRecord::kHeaderSize, '\0');
    qToLittleEndian<quint64>(dwData, h.data());
    qToLittleEndian<quint32>(cbData, h.data() + 8);
    return h;
}

QByteArray utf16le(const QString& s) {
    QByteArray out;
    for (QChar c : s) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

}  // namespace

TEST(HandOffRecord, BuildLaysOutHeaderTextAndNul) {
    const QString path = QStringLiteral("/tmp/Музыка b.mp3");
    const QByteArray record = HandOffRecord::build(path);
    const QByteArray expected = header(quint32((path.size() + 1) * 2)) + utf16le(path) + QByteArray(2, '\0');
    EXPECT_EQ(record.toHex(), expected.toHex());
}

TEST(HandOffRecord, BuildCountsSurrogatePairsAsTwoUnits) {
    const QString path = QString::fromUtf8("/a/\xF0\x9F\x8E\xB5.flac");  // one emoji, two units
    const QByteArray record = HandOffRecord::build(path);
    EXPECT_EQ(qFromLittleEndian<quint32>(record.constData() + 8), quint32((path.size() + 1) * 2));
    EXPECT_EQ(HandOffRecord::parse(record), path);
}

TEST(HandOffRecord, RoundTripsEmptyAndLongPaths) {
    const QString longPath = "/" + QString(4000, QChar(u'ж'));
    EXPECT_EQ(HandOffRecord::parse(HandOffRecord::build(longPath)), longPath);
    // An empty argument makes a record of one NUL unit, which hands nothing over.
    EXPECT_EQ(HandOffRecord::build(QString()).size(), HandOffRecord::kHeaderSize + 2);
    EXPECT_EQ(HandOffRecord::parse(HandOffRecord::build(QString())), std::nullopt);
}

TEST(HandOffRecord, ParseTable) {
    const QByteArray ab = utf16le("/ab");
    struct Row {
        const char* name;
        QByteArray record;
        std::optional<QString> path;
    };
    const Row rows[] = {
        {"plain", header(8) + ab + QByteArray(2, '\0'), QString("/ab")},
        {"data word is not examined", header(8, 0xDEADBEEFull) + ab + QByteArray(2, '\0'), QString("/ab")},
        {"text stops at first NUL", header(10) + ab + QByteArray(2, '\0') + utf16le("x"), QString("/ab")},
        {"no NUL: read up to cbData, never beyond", header(6) + ab, QString("/ab")},
        {"empty input", QByteArray(), std::nullopt},
        {"short header", header(8).left(11), std::nullopt},
        {"header only, block missing", header(8), std::nullopt},
        {"block shorter than cbData", header(8) + ab, std::nullopt},
        {"block longer than cbData", header(8) + ab + QByteArray(4, '\0'), std::nullopt},
        {"odd cbData", header(7) + ab + QByteArray(1, '\0'), std::nullopt},
        {"zero cbData", header(0), std::nullopt},
        {"cbData above the cap", header(HandOffRecord::kMaxDataSize + 2)
                                     + QByteArray(HandOffRecord::kMaxDataSize + 2, 'a'),
         std::nullopt},
        {"empty text", header(4) + QByteArray(4, '\0'), std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(HandOffRecord::parse(row.record), row.path) << row.name;
}

TEST(HandOffRecord, TotalSizeNeedsOnlyTheHeader) {
    EXPECT_EQ(HandOffRecord::totalSize(header(10)), HandOffRecord::kHeaderSize + 10);
    EXPECT_EQ(HandOffRecord::totalSize(header(HandOffRecord::kMaxDataSize)),
              HandOffRecord::kHeaderSize + HandOffRecord::kMaxDataSize);
    EXPECT_EQ(HandOffRecord::totalSize(header(10).left(15)), std::nullopt);
    EXPECT_EQ(HandOffRecord::totalSize(header(0xFFFFFFFEu)), std::nullopt);
}
