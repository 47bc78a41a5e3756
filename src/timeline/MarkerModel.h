#pragma once
// Window-free rules of the marker list: its order, the duplicate test, the
// hit test and what the "changed" state looks like. TForm1 keeps the list
// (FMarkers) and mirrors these results in its controls.

#include "timeline/TMarker.h"

#include <QColor>
#include <QString>

namespace MarkerRules {
// Two markers closer than this (seconds) count as one when placing a marker.
inline constexpr double kDuplicateDistance = 0.0001;
// A pointer this many pixels from a marker hits it.
inline constexpr double kClickTolerancePixels = 4.0;
}  // namespace MarkerRules

// Orders two marker times: 0 when they differ by no more than
// max(min(|a|,|b|) * 1e-12, 1e-12), else -1 (a first) or +1.
int CompareMarkerTimes(double a, double b);

// Sorts ascending by time with CompareMarkerTimes. Markers comparing equal
// keep their relative order.
void SortMarkersByTime(TMarkerList& markers);

// True when a marker other than the one at excludeIndex (-1: none excluded)
// lies strictly closer than kDuplicateDistance to time.
bool MarkerExistsAt(const TMarkerList& markers, double time, int excludeIndex);

// Hit test at time t. Returns false and leaves index alone for an empty list.
// Otherwise index := the nearest marker (the lowest index on equal distances)
// and the result says whether it lies strictly within toleranceSec.
bool FindClosestMarker(const TMarkerList& markers, double t, double toleranceSec, int& index);

// The tool tip of a marker on the timeline: its time code and description.
QString MarkerHintText(const TMarker& marker);

// How the status label and the save button show the changed state.
struct MarkersChangedLook {
    QString caption;     // two lines separated by a single carriage return
    QColor colour;
    bool saveEnabled;
};
MarkersChangedLook MarkersChangedLookFor(bool changed);
