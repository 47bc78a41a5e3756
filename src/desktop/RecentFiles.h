#pragma once
// The desktop's list of recently used files: $XDG_DATA_HOME/recently-used.xbel
// (~/.local/share/recently-used.xbel), the freedesktop bookmark format that
// GTK, KDE and file managers share. Every application writes into the same
// file, so an update keeps every entry and every element it does not own, and
// replaces the file atomically: a failed write leaves the previous list whole.
// Not thread-safe: the program adds through RecentFilesWriter, one add at a
// time.

#include <QDateTime>
#include <QString>

class RecentFiles {
public:
    // The name and command line the player records for itself in an entry.
    static constexpr const char* ApplicationName = "velmoplayer";
    static constexpr const char* ApplicationExec = "'velmoplayer %u'";

    // The list at its standard place.
    RecentFiles();
    // The list in the given file (tests, other locations).
    explicit RecentFiles(QString xbelPath);

    const QString& path() const { return path_; }

    // Records that the player opened the local file at filePath (made absolute):
    // a new entry (file:// address, added/modified/visited times, MIME type,
    // the player as application with count 1), or, when the file is listed
    // already, that entry refreshed (modified and visited times, the player's
    // count raised by one) instead of a second one. Creates the file (only the
    // user may read it) and its folder when missing.
    // Returns false, leaving the file as it was, when the existing list cannot
    // be read as a bookmark file or the new list cannot be written.
    bool add(const QString& filePath, const QDateTime& when = QDateTime::currentDateTimeUtc()) const;

    // $XDG_DATA_HOME/recently-used.xbel.
    static QString defaultPath();

private:
    QString path_;
};
