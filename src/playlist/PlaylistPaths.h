#pragma once
// Small path rules of the playlist: the default list name, the Documents
// folder, the folder writers' fallback and the file/folder parts of a path.
// Pure functions; any thread.

#include "platform/AudioExtensions.h"

#include <QString>
#include <QStringList>

// The default playlist file name; it has no extension.
extern const QString DefaultListName;

// The user's Documents folder followed by "/", or empty text when the desktop
// reports none.
QString GetDocumentsFolder();

// GetDocumentsFolder() + DefaultListName: the default list file and the
// fallback of the LastAddDir and LastSaveDir writers.
QString DefaultListFile();

// Folder unchanged when it names an existing folder, else DefaultListFile().
QString ExistingFolderOrDefault(const QString& folder);

// What precedes the last "/", with it ("/music/" of "/music/a.mp3"; empty
// when there is no "/").
QString ExtractFilePath(const QString& path);

// What follows the last "/" ("a.mp3" of "/music/a.mp3"; the whole text when
// there is no "/").
QString ExtractFileName(const QString& path);

// What precedes the last "/", without it ("/music" of "/music/a.mp3"; "/" for
// a file in the root; empty when there is no "/").
QString ExtractFileDir(const QString& path);
