// Marker file reader: any bytes either parse or raise AppError, and whatever
// parses survives a write and a second read unchanged.
#include "platform/AppError.h"
#include "timeline/MarkerFile.h"

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMarkerList markers;
    try {
        ParseMarkerBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), markers);
    } catch (const AppError&) {
        // The lines before the bad one stay parsed: round-trip them too.
    }
    TMarkerList again;
    ParseMarkerBytes(MarkerFileBytes(markers), again);
    FUZZ_REQUIRE(again.size() <= markers.size());
    return 0;
}
