#include "playlist/Playlist.h"

#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistPaths.h"

#include <QDir>

Playlist::Playlist() : listFilename_(DefaultListFile()), lastAddDir_(listFilename_) {}

int Playlist::addFile(const QString& fileName) {
    const int row = model_.append(fileName);
    lastAddDir_ = ExtractFileDir(fileName);
    return row;
}

void Playlist::addFiles(const QStringList& fileNames) {
    if (fileNames.isEmpty())
        return;
    model_.appendAll(fileNames);
    lastAddDir_ = ExtractFileDir(fileNames.last());
}

void Playlist::removeRow(int row) {
    if (row < 0 || row >= count())
        return;
    model_.removeAt(row);
    if (isEmpty())
        currentIdx_ = -1;
    else if (currentIdx_ > count() - 1)
        currentIdx_ = count() - 1;
}

void Playlist::clear() {
    model_.clear();
    currentIdx_ = -1;
}

int Playlist::stepNext() {
    if (isEmpty() || currentIdx_ == count() - 1)
        return -1;
    return ++currentIdx_;
}

int Playlist::stepPrev() {
    if (isEmpty() || currentIdx_ <= 0)
        return -1;
    return --currentIdx_;
}

bool Playlist::takeLines(const QStringList& lines, const QString& fileName) {
    model_.clear();
    currentIdx_ = -1;
    if (lines.isEmpty())
        return false;
    addFiles(lines);
    listFilename_ = fileName;
    return true;
}

void Playlist::save(const QString& fileName) {
    if (isEmpty())
        return;
    // The default list lives in the Documents folder, which a new account may
    // not have yet; without it the list kept at exit would be lost.
    const QString folder = ExtractFilePath(fileName);
    if (!folder.isEmpty() && folder == GetDocumentsFolder())
        QDir().mkpath(folder);
    WritePlaylistFile(fileName, model_.locations());
    listFilename_ = fileName;
    lastSaveDir_ = ExtractFilePath(fileName);
}

void Playlist::setLastAddDir(const QString& folder) { lastAddDir_ = ExistingFolderOrDefault(folder); }

void Playlist::setLastSaveDir(const QString& folder) { lastSaveDir_ = ExistingFolderOrDefault(folder); }
