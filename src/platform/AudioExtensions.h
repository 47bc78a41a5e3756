#pragma once
// The file name extensions the program takes, one named list per purpose,
// side by side so that a change to one is made looking at the others.
// Extensions carry their dot and are lower case.

#include <QString>
#include <QStringList>

// What a hand-off, a drop on the main window and the Open dialog load.
const QStringList& LoadExtensions();
// What a folder added to the playlist and a drop on the playlist take.
const QStringList& PlaylistExtensions();
// What the file information reads, in the order it lists them.
const QStringList& InfoExtensions();

// Whether the file name part of path (after the last "/") ends in one of
// extensions, without regard to case. The extension starts at the name's last
// dot, so a dot in a folder name does not count.
bool HasAcceptedExtension(const QString& path, const QStringList& extensions);
