#pragma once
// The markers an audio file has: those of its marker file, or, when it has
// none, the chapters the audio file carries.

#include "audio/bass.h"
#include "timeline/TMarker.h"

#include <QString>

// The chapters of an open stream as markers, their titles as descriptions,
// in the file's order. Empty for a file without chapters or a bad handle.
TMarkerList ChapterMarkersOf(DWORD channel);

struct AudioFileMarkers {
    TMarkerList markers;         // in time order
    double durationSeconds = 0;
    bool fromMarkerFile = false;  // false: the file's chapters (or none)
    bool markerFileDamaged = false;  // the marker file was not valid UTF-8
};

// Opens the audio file without playing it (no output device needed) and
// reads its marker file or, without one, its chapters. Throws AppError when
// the audio file cannot be opened, and the marker file's own errors.
AudioFileMarkers ReadAudioFileMarkers(const QString& audioFileName);
