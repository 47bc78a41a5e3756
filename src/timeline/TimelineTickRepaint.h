#pragma once
// What the 25 ms position tick repaints of the timeline.
//
// Between two ticks the picture changes through the play head, through the
// markers (commands and drags change them and leave the repaint to the tick)
// or through the view (zoom, scroll, size, load), whose own setters already
// ask for a repaint. So a tick repaints everything only when a marker time
// changed, and otherwise just the play head's old and new columns when it
// moved: a paused or slow-moving play head then costs next to nothing,
// however many markers are in view.

#include "timeline/TMarker.h"

#include <QtGlobal>

#include <vector>

class TimelineTickRepaint {
public:
    struct Plan {
        bool full = false;       // repaint the whole view
        bool headMoved = false;  // repaint the columns around oldHead and newHead
        qint64 oldHead = 0;      // picture pixels
        qint64 newHead = 0;
    };

    // The play head is at picture pixel `head` and the markers are `markers`.
    Plan next(qint64 head, const TMarkerList& markers);

    // Half the width of the column repainted around a play head: the head
    // is 3 pixels wide, and a paint may place it a pixel further on than the
    // tick saw it.
    static constexpr int ColumnHalfWidth = 3;

private:
    bool markersChanged(const TMarkerList& markers) const;

    bool m_known = false;
    qint64 m_head = 0;
    std::vector<double> m_markerTimes;
};
