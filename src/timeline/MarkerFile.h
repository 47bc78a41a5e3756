#pragma once
// The marker file beside an audio file: "<audio path>.mrk", UTF-8 with a
// byte-order mark, one line "%.6f,%s" (time with "." as the decimal point,
// a comma, the description as it stands) per marker, each ended by CR LF.

#include "platform/AppError.h"
#include "timeline/TMarker.h"

#include <QByteArray>
#include <QString>

// A time field that is not a number: the reading stopped part way.
class MarkerFileFormatError : public AppError {
public:
    using AppError::AppError;
};

// "<audioFileName>.mrk": the audio extension stays (song.mp3 -> song.mp3.mrk).
QString MarkerFileNameFor(const QString& audioFileName);
// Where the original of a damaged marker file is kept before it is overwritten.
QString MarkerBackupNameFor(const QString& markerFileName);

// The complete file contents for a list, in list order. An empty list gives
// just the three bytes of the byte-order mark.
QByteArray MarkerFileBytes(const TMarkerList& markers);

// Parses file contents into markers, appending to `markers` (the caller
// empties it first). The mark is optional; CR LF, LF or CR end a line; a line
// without a comma is skipped; the first comma splits time and description,
// the description is taken untrimmed. A time field that is not a finite
// number throws MarkerFileFormatError "'<field>' is not a valid floating
// point value";
// the markers of the lines before it stay appended.
// Returns false when the bytes were not valid UTF-8 (written by another
// editor in another encoding): some characters were replaced, so writing the
// list back would not give the same text.
bool ParseMarkerBytes(const QByteArray& bytes, TMarkerList& markers);

// Reads a marker file: throws AppError "Cannot open file "<path>". <reason>"
// when it cannot be read, else empties `markers` and parses as above, with
// the same result.
bool ReadMarkerFile(const QString& path, TMarkerList& markers);

// Writes the list through a temporary file renamed over the old one, so a
// failed write leaves the previous file whole. Throws AppError
// "Cannot create file "<path>". <reason>" on failure.
void WriteMarkerFile(const QString& path, const TMarkerList& markers);

// Writes bytes through a temporary file renamed over `path` when complete.
// Throws AppError "Cannot create file "<path>". <reason>" on failure.
void WriteWholeFile(const QString& path, const QByteArray& bytes);

// Copies a marker file to MarkerBackupNameFor(path), replacing an older
// backup. Throws AppError "Cannot create file "<backup>". <reason>".
void BackupMarkerFile(const QString& path);
