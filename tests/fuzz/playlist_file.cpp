// Playlist reader over all encodings: never crashes, and every decoded line
// that has a UTF-8 form survives an encode/decode round trip.
#include "playlist/PlaylistFile.h"

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList lines = DecodePlaylist(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    QStringList clean;
    for (const QString& line : lines)
        // Lone surrogates (from broken UTF-16) have no UTF-8 form to keep.
        if (!line.contains(QChar('\r')) && !line.contains(QChar('\n'))
            && QString::fromUtf8(line.toUtf8()) == line)
            clean << line;
    FUZZ_REQUIRE(DecodePlaylist(EncodePlaylist(clean)) == clean);
    return 0;
}
