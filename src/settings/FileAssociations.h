#pragma once
// Makes the player the current user's handler of six audio file types, the
// freedesktop way: a desktop entry "velmoplayer.desktop" in
// $XDG_DATA_HOME/applications naming the running program, and lines under
// [Default Applications] in $XDG_CONFIG_HOME/mimeapps.list that put it first
// for the types' MIME types. Also opens the desktop's default-applications
// page. GUI thread only; questions and notices go through Prompts, programs
// are started through Shell.

#include <QList>
#include <QString>
#include <QStringList>

struct FileTypeAssociation {
    QString extension;    // ".mp3"
    QString progId;       // "VelmoPlayer.MP3"
    QString description;  // "Audio File MP3"
    QStringList mimeTypes;
};

// The six file types in the order they are registered.
const QList<FileTypeAssociation>& AssociationTable();

// The desktop entry's file name and id.
inline const QString kDesktopEntryId = QStringLiteral("velmoplayer.desktop");

// $XDG_DATA_HOME/applications/velmoplayer.desktop
QString DesktopEntryPath();
// $XDG_DATA_HOME/icons/hicolor/128x128/apps/velmoplayer.png, the entry's icon
// "velmoplayer" for a player that was not installed; written (from
// kIconResource) with the entry when missing.
QString UserIconPath();
inline constexpr const char* kIconResource = ":/images/velmoplayer.png";
// $XDG_CONFIG_HOME/mimeapps.list
QString MimeAppsListPath();

// The desktop entry for programPath; its MimeType line lists the MIME types of
// AssociationTable() in order.
QString DesktopEntryText(const QString& programPath);
// programPath as one quoted argument of a desktop entry's Exec key.
QString QuotedExecArgument(const QString& programPath);

// Asks the user, then writes the desktop entry and the defaults for every row
// of AssociationTable(), has the desktop refresh its cache of entries and
// shows the closing notice. Cancel writes nothing. A file that cannot be
// written throws AppError "Failed to set data for '<file>'"; the rows after it
// are skipped and no notice is shown. Running it again changes nothing.
void AssociateAudioFiles(const QString& programPath);

// One row: the desktop entry (the same for every row) and the row's MIME
// types made defaults. Throws as AssociateAudioFiles.
void RegisterFileType(const FileTypeAssociation& row, const QString& programPath);

// Opens the desktop's default-applications page (GNOME, KDE) or, elsewhere,
// the folder holding mimeapps.list. Failures are not reported.
void OpenDefaultAppsPage();
