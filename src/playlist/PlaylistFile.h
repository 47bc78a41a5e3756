#pragma once
// The playlist file: one location per line, each line ending with CR LF.
// Reading honours a UTF-8, UTF-16 LE or UTF-16 BE byte-order mark; without
// one the bytes are UTF-8 when they are valid UTF-8, else Windows-1252.
// Lines end at CR LF, CR or LF; a line end at the very end of the file does
// not make an extra empty line. Writing is UTF-8 without a byte-order mark,
// so no path is ever mangled, and goes through a temporary file renamed into
// place, so a failed save leaves the old file whole.
// Pure file functions, any thread.

#include <QByteArray>
#include <QString>
#include <QStringList>

// The lines of a playlist file's bytes.
QStringList DecodePlaylist(const QByteArray& bytes);

// The bytes of a playlist file holding these lines.
QByteArray EncodePlaylist(const QStringList& lines);

// Reads the lines of the file. Throws AppError when it cannot be read.
QStringList ReadPlaylistFile(const QString& fileName);

// Writes the lines to the file. Throws AppError when it cannot be written;
// the previous file is then left as it was.
void WritePlaylistFile(const QString& fileName, const QStringList& lines);
