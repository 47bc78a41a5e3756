#pragma once
// One marker of the current audio file: a time and a free description.

#include <QList>
#include <QString>

struct TMarker {
    double Time = 0.0;     // seconds from the start of the track
    QString Description;   // may be empty; never holds a line break when typed in the program
};

// The markers of the current file, kept sorted by time after every rebuild
// of the marker list view.
using TMarkerList = QList<TMarker>;
