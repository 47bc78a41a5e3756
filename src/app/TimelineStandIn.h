#pragma once
// Stand-ins for the timeline and marker members the main window calls, used
// only while those subsystems are not part of the build. TForm1's own members
// of the same names hide these as soon as they exist.

#include "timeline/TMarker.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QWidget>
#include <cmath>

class TimelineStandIn {
public:
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* PaintBox1 = nullptr;
    QCheckBox* cbAutoScroll = nullptr;
    QLabel* LbZoomFactor = nullptr;
    QFrame* pnZoon = nullptr;
    double FZoomFactor = 10.0;
    double FZoomExponent = 1.0;
    double MarkerClickToleranceSec = 0.4;
    TMarkerList FMarkers;
    bool FMarkersChanged = false;
    bool FMarkersFileLoaded = false;

    bool MarkersChanged() const { return FMarkersChanged; }
    void SetMarkersChanged(bool value) { FMarkersChanged = value; }
    void LoadMarkersForFile(const QString&) {}
    void UpdateTimelineWidth() {}
    void ScrollToPixel(qint64) {}
    void btnSaveMarkersClick() { FMarkersChanged = false; }
    bool ConfirmSaveMarkers() { return true; }
    void SaveLastPosMarker() {}
    void btnZoomInClick() {}
    void btnZoomOutClick() {}
    void btnAddMarkerClick() {}
    void btnDeleteMarkerClick() {}
};
