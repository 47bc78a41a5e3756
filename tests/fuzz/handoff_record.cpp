// Hand-off record parser: no input reads beyond its bytes, and every path a
// record carries comes back out of the record built for it.
#include "platform/HandOffRecord.h"

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.size() >= HandOffRecord::kHeaderSize)
        HandOffRecord::totalSize(bytes.left(HandOffRecord::kHeaderSize));
    if (const auto path = HandOffRecord::parse(bytes)) {
        const auto again = HandOffRecord::parse(HandOffRecord::build(*path));
        FUZZ_REQUIRE(again && *again == *path);
    }
    return 0;
}
