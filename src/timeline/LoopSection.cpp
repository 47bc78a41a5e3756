#include "timeline/LoopSection.h"

#include <algorithm>
#include <utility>

LoopSection SectionAround(const TMarkerList& markers, double position, double duration) {
    LoopSection section{0.0, duration, false, false};
    for (const TMarker& m : markers) {
        if (m.Time <= position && (!section.startIsMarker || m.Time > section.start)) {
            section.start = m.Time;
            section.startIsMarker = true;
        } else if (m.Time > position && m.Time < duration && (!section.endIsMarker || m.Time < section.end)) {
            section.end = m.Time;
            section.endIsMarker = true;
        }
    }
    return section;
}

std::optional<LoopSection> LoopAfterMarkerMove(LoopSection loop, double from, double to) {
    if (loop.startIsMarker && loop.start == from)
        loop.start = to;
    else if (loop.endIsMarker && loop.end == from)
        loop.end = to;
    // A bound dragged past the other: the same two bounds, the other way round.
    if (loop.start > loop.end) {
        std::swap(loop.start, loop.end);
        std::swap(loop.startIsMarker, loop.endIsMarker);
    }
    if (!(loop.end > loop.start))
        return std::nullopt;
    return loop;
}

bool LoopMarkersExist(const LoopSection& loop, const TMarkerList& markers) {
    auto present = [&](double time) {
        return std::any_of(markers.begin(), markers.end(), [&](const TMarker& m) { return m.Time == time; });
    };
    return (!loop.startIsMarker || present(loop.start)) && (!loop.endIsMarker || present(loop.end));
}
