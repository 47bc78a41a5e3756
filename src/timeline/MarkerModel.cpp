#include "timeline/MarkerModel.h"

#include "timeline/TimeUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>

int CompareMarkerTimes(double a, double b) {
    const double tolerance = std::max(std::min(std::abs(a), std::abs(b)) * 1e-12, 1e-12);
    if (std::abs(a - b) <= tolerance)
        return 0;
    return a < b ? -1 : 1;
}

void SortMarkersByTime(TMarkerList& markers) {
    // A merge sort stays memory-safe even though "equal within a tolerance"
    // is not transitive, and it keeps equal markers in file order.
    std::stable_sort(markers.begin(), markers.end(), [](const TMarker& a, const TMarker& b) {
        return CompareMarkerTimes(a.Time, b.Time) < 0;
    });
}

bool MarkerExistsAt(const TMarkerList& markers, double time, int excludeIndex) {
    for (int i = 0; i < markers.size(); ++i) {
        if (i != excludeIndex && std::abs(markers[i].Time - time) < MarkerRules::kDuplicateDistance)
            return true;
    }
    return false;
}

bool FindClosestMarker(const TMarkerList& markers, double t, double toleranceSec, int& index) {
    if (markers.isEmpty())
        return false;
    index = -1;
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < markers.size(); ++i) {
        const double d = std::abs(markers[i].Time - t);
        if (d < best) {
            best = d;
            index = i;
        }
    }
    return index >= 0 && best < toleranceSec;
}

QString MarkerHintText(const TMarker& marker) {
    const QString time = SecondsToTimeStr(marker.Time, true);
    return marker.Description.isEmpty() ? time : time + QStringLiteral("  ") + marker.Description;
}

MarkersChangedLook MarkersChangedLookFor(bool changed) {
    if (changed)
        return {QStringLiteral("MARKERS\rNOT SAVED"), QColor(255, 0, 0), true};
    return {QStringLiteral("MARKERS\rSAVED"), QColor(222, 230, 187), false};
}
