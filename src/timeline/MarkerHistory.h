#pragma once
// The undo history of the marker list since the file was loaded: every
// change is one step holding the whole list after it (lists share their
// markers until one is changed, so a step costs one copy of the list). The
// history also knows which step matches the marker file on disk, so that
// undoing back to it shows the markers as saved. It holds a bounded number of
// steps and of markers in them; beyond either, the oldest steps are dropped,
// but the latest change can always be undone. Window-free; GUI thread only.

#include "timeline/TMarker.h"

#include <QList>
#include <QString>

class MarkerHistory {
public:
    // How much the history holds at most. Past either bound the oldest steps
    // are dropped; the current list and the one before it always stay.
    struct Limits {
        qsizetype undoSteps = 500;  // changes that can be undone
        // Markers in all the lists held together (about 32 bytes each), so a
        // file with very many markers keeps fewer steps.
        qsizetype markers = 1'000'000;
    };

    MarkerHistory() : MarkerHistory(Limits{}) {}
    explicit MarkerHistory(Limits limits) : limits_(limits) { reset({}, true); }

    // Starts a new history at `markers` (a file was loaded). matchesDisk says
    // whether they are what the marker file holds.
    void reset(const TMarkerList& markers, bool matchesDisk);

    // Records `markers` as the list after a change named `label`. A list equal
    // to the current one records nothing and returns false. The steps that
    // could have been redone are dropped, and the oldest steps beyond the
    // limits; once the step that matches the file is dropped, no step does.
    bool record(const TMarkerList& markers, const QString& label);
    // A whole new list (an import) as one step; the same as record.
    bool replaceAll(const TMarkerList& markers, const QString& label) { return record(markers, label); }

    bool canUndo() const { return current_ > 0; }
    bool canRedo() const { return current_ + 1 < steps_.size(); }
    // The name of the step undo or redo would take back or do again; empty
    // when there is none.
    QString undoLabel() const { return canUndo() ? steps_[current_].label : QString(); }
    QString redoLabel() const { return canRedo() ? steps_[current_ + 1].label : QString(); }

    // Moves one step back or forward and returns the list there; without a
    // step to move to, returns the current list unchanged.
    const TMarkerList& undo();
    const TMarkerList& redo();
    const TMarkerList& current() const { return steps_[current_].markers; }

    // The current list was written to the marker file.
    void markSaved() { saved_ = current_; }
    // Whether the current list is what the marker file holds.
    bool isSaved() const { return saved_ == current_; }

private:
    struct Step {
        TMarkerList markers;
        QString label;  // the change that led here; empty for the start
    };
    // Drops the oldest steps while the history is over its limits.
    void dropOldest();

    Limits limits_;
    QList<Step> steps_;
    qsizetype current_ = 0;
    qsizetype saved_ = 0;  // -1: no step matches the file
    qsizetype heldMarkers_ = 0;  // markers in all of steps_
};
