#pragma once
// Window-free rules of the marker commands: which marker "delete nearest",
// "next", "previous" and "delete selected row" act on. Every function takes
// the play position as input, so the rules are tested without a stream.

#include "timeline/TMarker.h"

// "Next" passes over a marker that lies less than 1 ms after the play
// position, "previous" over one less than 0.1 ms before it.
inline constexpr double kNextMarkerMargin = 0.001;
inline constexpr double kPreviousMarkerMargin = 0.0001;
// A list row's time text is read back with whole milliseconds, so a row
// matches the marker whose time lies within 0.01 s of it.
inline constexpr double kRowTimeTolerance = 0.01;

// The marker nearest to position, the first one on equal distances; there is
// no distance limit. -1 for an empty list.
int NearestMarkerIndex(const TMarkerList& markers, double position);

// Where a step to the next or previous marker lands.
struct MarkerStep {
    int index = -1;       // the target marker; -1 when there is none
    double time = 0.0;    // its time (meaningless when index is -1)
    bool found() const { return index >= 0; }
};

// The earliest marker later than position + 1 ms and earlier than duration.
// On equal times the first in list order wins.
MarkerStep NextMarkerStep(const TMarkerList& markers, double position, double duration);

// The latest marker earlier than position - 0.1 ms and later than 0 s: a
// marker at exactly 0 s is never reached. On equal times the first wins.
MarkerStep PreviousMarkerStep(const TMarkerList& markers, double position);

// Searching from the last index down, the first marker whose time lies
// strictly within tolerance of time; -1 when there is none.
int LastMarkerNearTime(const TMarkerList& markers, double time,
                       double tolerance = kRowTimeTolerance);
