#pragma once
// Stand-ins for the marker commands the main window calls, used only while
// the marker commands are not part of the build. TForm1's own members of the
// same names hide these as soon as they exist.

class TimelineStandIn {
public:
    void btnAddMarkerClick() {}
    void btnDeleteMarkerClick() {}
};
