#pragma once
// What the main window asks of the playlist window, bound to one playlist
// window by TfrmList::Link(). Every call does nothing while no window is
// bound or once the bound window is gone. GUI thread only.

#include <QPointer>
#include <QString>

class TfrmList;

class TPlayListLink {
public:
    TPlayListLink() = default;
    explicit TPlayListLink(TfrmList* list);

    bool Bound() const { return !FList.isNull(); }
    // The list has no rows (also when no window is bound).
    bool Empty() const;

    // The playlist window's play/pause image, auto-stop box, level meter and
    // volume bar show the main window's state.
    void UpdatePlayPause() const;
    void ShowAutoStop(bool on) const;
    // The auto-stop box shows on without running its handler: nothing to pass back.
    void ShowAutoStopQuietly(bool on) const;
    void ShowLevel(int value) const;
    void ShowVolume(int value) const;

    void AddFile(const QString& FileName) const;  // without focusing the list
    void PlayNext() const;
    void PlayPrev() const;
    void ShowWindow() const;
    // Writes the list into its current list file (an empty list is not written).
    void SaveList() const;

private:
    QPointer<TfrmList> FList;
};
