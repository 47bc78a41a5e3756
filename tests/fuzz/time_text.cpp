// Time text parser: any text gives a time or one of its errors; a time it
// formats parses back to the same millisecond.
#include "platform/AppError.h"
#include "timeline/TimeUtils.h"

#include <cmath>
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const double seconds = TimeStrToSeconds(text);
        if (std::isfinite(seconds) && seconds >= 0 && seconds < 1e9) {
            const double back = TimeStrToSeconds(SecondsToTimeStr(seconds, true));
            FUZZ_REQUIRE(std::fabs(back - seconds) <= 0.0015);
        }
    } catch (const AppError&) {
    }
    return 0;
}
