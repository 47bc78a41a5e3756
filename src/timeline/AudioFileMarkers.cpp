#include "timeline/AudioFileMarkers.h"

#include "platform/AppError.h"
#include "timeline/MarkerFile.h"
#include "timeline/MarkerModel.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

TMarkerList ChapterMarkersOf(DWORD channel) {
    const DWORD count = BASS_ChannelGetChapters(channel, nullptr, 0);
    if (count == DWORD(-1) || count == 0)
        return {};
    std::vector<BASS_CHAPTER> chapters(count);
    BASS_ChannelGetChapters(channel, chapters.data(), count);
    TMarkerList markers;
    for (const BASS_CHAPTER& c : chapters)
        markers.append({c.start, QString::fromUtf8(c.title)});
    return markers;
}

AudioFileMarkers ReadAudioFileMarkers(const QString& audioFileName) {
    const QByteArray encoded = QFile::encodeName(audioFileName);
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, encoded.constData(), 0, 0,
                                                 BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    if (stream == 0)
        throw AppError(QStringLiteral("Cannot open audio file \"%1\" (%2).")
                           .arg(audioFileName,
                                QFileInfo::exists(audioFileName) ? QStringLiteral("not a readable audio file")
                                                                 : QStringLiteral("no such file")));
    // Freed on every way out, the marker file's errors included.
    struct StreamGuard {
        HSTREAM handle;
        ~StreamGuard() { BASS_StreamFree(handle); }
    } guard{stream};
    AudioFileMarkers result;
    result.durationSeconds =
        BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetLength(stream, BASS_POS_BYTE));
    const QString markerFile = MarkerFileNameFor(audioFileName);
    if (QFileInfo(markerFile).isFile()) {
        result.markerFileDamaged = !ReadMarkerFile(markerFile, result.markers);
        result.fromMarkerFile = true;
    } else {
        result.markers = ChapterMarkersOf(stream);
    }
    SortMarkersByTime(result.markers);
    return result;
}
