#pragma once
// The playlist's data without a window: the rows, the current row, the list
// file in use and the folders last used. The playlist window wraps it with
// selection, focus, cursor and playback. GUI thread only.
//
// The current row is a position, not a file: reordering and adding rows
// never change it; removing rows pulls it back onto the list.

#include "playlist/PlaylistModel.h"

#include <QString>
#include <QStringList>

class Playlist {
public:
    Playlist();

    PlaylistModel& model() { return model_; }
    const PlaylistModel& model() const { return model_; }
    bool isEmpty() const { return model_.isEmpty(); }
    int count() const { return model_.count(); }

    // Appends a row and makes its folder the last add folder; returns the
    // row's position. Nothing is tested: duplicates, missing files and any
    // extension are welcome.
    int addFile(const QString& fileName);
    // The same for many files at once, in order.
    void addFiles(const QStringList& fileNames);
    // Removes one row and keeps the current row on the list.
    void removeRow(int row);
    // Removes all rows; nothing is current.
    void clear();
    // Moves a row by a drag (see PlaylistModel::moveRow); returns its new
    // position. The current row stays the same position.
    int moveRow(int source, int target) { return model_.moveRow(source, target); }

    int currentIndex() const { return currentIdx_; }
    void setCurrentIndex(int row) { currentIdx_ = row; }
    // Steps the current row forward and returns it, or -1 at the last row
    // (there is no wrap). With no current row the first row is next.
    int stepNext();
    // Steps the current row back and returns it, or -1 at row 0 and when no
    // row is current.
    int stepPrev();

    // Replaces the rows by the lines of a playlist file that was read from
    // fileName. With at least one line the file becomes the list file and
    // true is returned (the caption changes); with none the list is only
    // emptied. Nothing is current afterwards either way.
    bool takeLines(const QStringList& lines, const QString& fileName);
    // Writes the rows to fileName, which then becomes the list file; an empty
    // list writes nothing. A missing Documents folder is created for a file
    // directly in it (the default list); other missing folders are not.
    // Throws AppError when the file cannot be written, leaving the list file
    // name unchanged.
    void save(const QString& fileName);

    QString listFilename() const { return listFilename_; }
    QString lastAddDir() const { return lastAddDir_; }
    QString lastSaveDir() const { return lastSaveDir_; }
    QString lastOpenDir() const { return lastOpenDir_; }
    // Keep folder only when it names an existing folder, else the default
    // list file (Documents + "NeuList").
    void setLastAddDir(const QString& folder);
    void setLastSaveDir(const QString& folder);
    // Kept unchanged.
    void setLastOpenDir(const QString& folder) { lastOpenDir_ = folder; }
    // The folder scan ends by setting the scanned folder as it is.
    void setScannedFolder(const QString& folder) { lastAddDir_ = folder; }

private:
    PlaylistModel model_;
    int currentIdx_ = -1;
    QString listFilename_;
    QString lastAddDir_;
    QString lastSaveDir_;
    QString lastOpenDir_;
};
