// Marker import: any bytes either import or raise MarkerExchangeError, the
// times that come out are finite and not negative, and what imports goes out
// and back in every format with the same number of markers.
#include "timeline/MarkerExchange.h"

#include "FuzzCheck.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImportedMarkers imported;
    try {
        imported = ImportMarkers(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                                 QStringLiteral("fuzz"));
    } catch (const MarkerExchangeError&) {
        return 0;
    }
    bool exportable = !imported.markers.isEmpty() && imported.markers.size() <= 99;
    for (const TMarker& m : imported.markers) {
        FUZZ_REQUIRE(std::isfinite(m.Time) && m.Time >= 0);
        exportable = exportable && m.Time <= 1e9;
    }
    if (!exportable)
        return 0;
    for (const MarkerFormat format : kMarkerFormats) {
        const QByteArray bytes = ExportMarkers(format, imported.markers, {QStringLiteral("a.mp3"), 0});
        const ImportedMarkers again = ImportMarkers(bytes, QStringLiteral("again"));
        FUZZ_REQUIRE(again.format == format);
        FUZZ_REQUIRE(again.markers.size() == imported.markers.size());
    }
    return 0;
}
