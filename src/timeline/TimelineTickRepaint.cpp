#include "timeline/TimelineTickRepaint.h"

#include <bit>
#include <cstdint>

bool TimelineTickRepaint::markersChanged(const TMarkerList& markers) const {
    if (size_t(markers.size()) != m_markerTimes.size())
        return true;
    for (qsizetype i = 0; i < markers.size(); ++i)
        // Bit patterns, so that a NaN time compares equal to itself.
        if (std::bit_cast<std::uint64_t>(markers[i].Time) != std::bit_cast<std::uint64_t>(m_markerTimes[size_t(i)]))
            return true;
    return false;
}

TimelineTickRepaint::Plan TimelineTickRepaint::next(qint64 head, const TMarkerList& markers) {
    Plan plan;
    if (!m_known || markersChanged(markers)) {
        plan.full = true;
        m_markerTimes.clear();
        m_markerTimes.reserve(size_t(markers.size()));
        for (const TMarker& m : markers)
            m_markerTimes.push_back(m.Time);
    } else if (head != m_head) {
        plan.headMoved = true;
        plan.oldHead = m_head;
        plan.newHead = head;
    }
    m_known = true;
    m_head = head;
    return plan;
}
