#pragma once
// The section of the track that loops: from the last marker at or before
// the play position to the first marker after it, the track's start or end
// where there is none. Its bounds follow their markers when they move.

#include "timeline/TMarker.h"

#include <optional>

struct LoopSection {
    double start = 0.0;  // seconds
    double end = 0.0;
    bool startIsMarker = false;  // else the track's start
    bool endIsMarker = false;    // else the track's end
    bool contains(double position) const { return position >= start && position < end; }
    bool operator==(const LoopSection&) const = default;
};

LoopSection SectionAround(const TMarkerList& markers, double position, double duration);
// The loop after a marker moved from `from` to `to`: a bound that was that
// marker goes along. None when nothing is left between the bounds.
std::optional<LoopSection> LoopAfterMarkerMove(LoopSection loop, double from, double to);
// Whether the markers the loop ends at are still there.
bool LoopMarkersExist(const LoopSection& loop, const TMarkerList& markers);
