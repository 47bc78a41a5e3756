#include "timeline/MarkerHistory.h"

namespace {
bool sameMarkers(const TMarkerList& a, const TMarkerList& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        // Exact times: a drag of a fraction of a pixel is still a change.
        if (a[i].Time != b[i].Time || a[i].Description != b[i].Description)
            return false;
    }
    return true;
}
}  // namespace

void MarkerHistory::reset(const TMarkerList& markers, bool matchesDisk) {
    steps_ = {Step{markers, QString()}};
    current_ = 0;
    saved_ = matchesDisk ? 0 : -1;
    heldMarkers_ = markers.size();
}

bool MarkerHistory::record(const TMarkerList& markers, const QString& label) {
    if (sameMarkers(markers, current()))
        return false;
    while (steps_.size() > current_ + 1)
        heldMarkers_ -= steps_.takeLast().markers.size();
    if (saved_ > current_)
        saved_ = -1;  // the saved list could only have been reached by redo
    steps_.append(Step{markers, label});
    heldMarkers_ += markers.size();
    ++current_;
    dropOldest();
    return true;
}

void MarkerHistory::dropOldest() {
    // After record the current step is the last; current_ > 1 keeps the step
    // before it, so the latest change stays undoable.
    while (current_ > 1 && (current_ > limits_.undoSteps || heldMarkers_ > limits_.markers)) {
        heldMarkers_ -= steps_.takeFirst().markers.size();
        --current_;
        saved_ = saved_ > 0 ? saved_ - 1 : -1;  // the saved step itself may go
    }
}

const TMarkerList& MarkerHistory::undo() {
    if (canUndo())
        --current_;
    return current();
}

const TMarkerList& MarkerHistory::redo() {
    if (canRedo())
        ++current_;
    return current();
}
