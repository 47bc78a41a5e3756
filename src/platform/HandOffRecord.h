#pragma once
// The hand-off record a second start sends to the running player: the
// 64-bit COPYDATA layout followed by the data block.
//
//   bytes 0..7    dwData, always 0 (not examined on receipt)
//   bytes 8..11   cbData, little-endian: size of the data block in bytes
//   bytes 12..15  alignment padding, 0
//   bytes 16..    cbData bytes: the path as UTF-16LE code units, then a NUL unit
//
// The receiver takes the text up to the first NUL unit and never reads past
// cbData. Records that are shorter than their header claims, longer, odd-sized,
// empty or larger than kMaxDataSize are refused.

#include <QByteArray>
#include <QString>

#include <optional>

namespace HandOffRecord {

constexpr qsizetype kHeaderSize = 16;
// Far above any real path (Linux paths are at most 4096 bytes); bounds what a
// stranger's connection can make the player buffer.
constexpr quint32 kMaxDataSize = 65536;

// The record for path, sent unchanged (no existence or extension check).
QByteArray build(const QString& path);

// From the first kHeaderSize bytes of a record: the size of the whole record,
// or nothing when the header announces an impossible block (0, odd, too big).
std::optional<qsizetype> totalSize(const QByteArray& header);

// The path carried by a complete record, or nothing when the record is
// malformed. A path that is empty up to its first NUL counts as malformed:
// it hands nothing over.
std::optional<QString> parse(const QByteArray& record);

}  // namespace HandOffRecord
