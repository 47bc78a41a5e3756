#pragma once
// Markers in the formats other programs read and write: an audio editor's
// label track, a CD burner's cue sheet, FFmpeg's chapter metadata, podcast
// JSON chapters and the timestamp lines video sites turn into chapters.
// Window-free: the main window and the command line both call these.

#include "platform/AppError.h"
#include "timeline/TMarker.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

enum class MarkerFormat { Audacity, Cue, FfMetadata, PodcastJson, Timestamps };

// Every format, in the order dialogs and help texts list them.
inline constexpr MarkerFormat kMarkerFormats[] = {MarkerFormat::Audacity, MarkerFormat::Cue,
                                                  MarkerFormat::FfMetadata, MarkerFormat::PodcastJson,
                                                  MarkerFormat::Timestamps};

// The command-line name: "audacity", "cue", "ffmetadata", "podcast-json", "timestamps".
QString MarkerFormatName(MarkerFormat format);
std::optional<MarkerFormat> MarkerFormatFromName(const QString& name);
// The file name suffix a new file of the format gets ("txt", "cue", "ffmetadata", "json").
QString MarkerFormatSuffix(MarkerFormat format);

// The format an export to fileName writes: a suffix that belongs to one format
// only (".cue", ".json", ".ffmetadata") decides; otherwise ("labels.txt")
// the format the user chose in the dialog.
MarkerFormat MarkerFormatForExportName(const QString& fileName, MarkerFormat chosen);

// What an export needs to know besides the markers.
struct MarkerExportContext {
    QString audioFileName;     // the CUE sheet's FILE line names it (file name only)
    double durationSeconds = 0;  // 0 when unknown; chapter ends, hours in timestamps
};

// An export or import that cannot be done; the message names the file and
// line where there is one ("chapters.txt, line 4: ...").
class MarkerExchangeError : public AppError {
public:
    using AppError::AppError;
};

// The file contents (UTF-8, LF line ends) for the markers in time order.
// Throws MarkerExchangeError when the format cannot hold them (a time before
// the start; more than 99 tracks in a CUE sheet).
QByteArray ExportMarkers(MarkerFormat format, const TMarkerList& markers,
                         const MarkerExportContext& context);

struct ImportedMarkers {
    MarkerFormat format;
    TMarkerList markers;   // in file order
};

// Reads markers from file contents; the format is known from the content.
// `sourceName` names the file in error messages. Throws MarkerExchangeError
// "<sourceName>, line N: <reason>" for input it cannot read; nothing is
// returned then.
ImportedMarkers ImportMarkers(const QByteArray& bytes, const QString& sourceName);

// Reads and imports a file; throws MarkerExchangeError when it cannot be read.
ImportedMarkers ImportMarkerFile(const QString& path);

// Adds the imported markers to `markers` by the rule for placing a marker: one
// that lies closer than the duplicate distance to a marker already there (or
// to one added before it) is left out. Returns how many were added. The list
// is left in time order.
int MergeImportedMarkers(TMarkerList& markers, const TMarkerList& imported);
