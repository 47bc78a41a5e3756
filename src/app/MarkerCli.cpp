#include "app/MarkerCli.h"

#include "platform/AppError.h"
#include "timeline/AudioFileMarkers.h"
#include "timeline/MarkerExchange.h"
#include "timeline/MarkerFile.h"


#include <cstdio>

const char* const kMarkerCommandsUsage =
    "  --export-markers FORMAT AUDIOFILE\n"
    "        Writes the markers of AUDIOFILE (its marker file, or the chapters\n"
    "        it carries) to standard output. FORMAT is one of audacity, cue,\n"
    "        ffmetadata, podcast-json, timestamps.\n"
    "  --import-markers FILE AUDIOFILE\n"
    "        Adds the markers of FILE (Audacity labels, CUE sheet, FFmpeg\n"
    "        metadata, podcast JSON chapters or timestamp lines) to the marker\n"
    "        file of AUDIOFILE.\n";

namespace {

const QString kExportOption = QStringLiteral("--export-markers");
const QString kImportOption = QStringLiteral("--import-markers");

MarkerCommandResult Failure(int status, const QString& message) { return {status, {}, message}; }

MarkerCommandResult Export(const QString& formatName, const QString& audioFile) {
    const std::optional<MarkerFormat> format = MarkerFormatFromName(formatName);
    if (!format)
        return Failure(2, QStringLiteral("Unknown marker format \"%1\"; use one of %2.")
                              .arg(formatName, QStringLiteral("audacity, cue, ffmetadata, podcast-json, timestamps")));
    const AudioFileMarkers source = ReadAudioFileMarkers(audioFile);
    const MarkerExportContext context{audioFile, source.durationSeconds};
    return {0, ExportMarkers(*format, source.markers, context), {}};
}

MarkerCommandResult Import(const QString& markerSource, const QString& audioFile) {
    const ImportedMarkers imported = ImportMarkerFile(markerSource);
    AudioFileMarkers target = ReadAudioFileMarkers(audioFile);
    const int added = MergeImportedMarkers(target.markers, imported.markers);
    const QString markerFile = MarkerFileNameFor(audioFile);
    if (added > 0) {
        // Text that was not UTF-8 would not be written back as it was: keep
        // the original beside it, as the window does.
        if (target.markerFileDamaged)
            BackupMarkerFile(markerFile);
        WriteMarkerFile(markerFile, target.markers);
    }
    const int skipped = int(imported.markers.size()) - added;
    QString report = QStringLiteral("%1 marker(s) added to %2").arg(added).arg(markerFile);
    if (skipped > 0)
        report += QStringLiteral(", %1 left out (a marker is already at that time)").arg(skipped);
    return {0, (report + u'\n').toUtf8(), {}};
}

bool WriteAll(std::FILE* stream, const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size()) &&
           std::fflush(stream) == 0;
}

}  // namespace

bool IsMarkerCommand(const QStringList& arguments) {
    return !arguments.isEmpty() && (arguments[0] == kExportOption || arguments[0] == kImportOption);
}

MarkerCommandResult RunMarkerCommand(const QStringList& arguments) {
    if (arguments.size() != 3)
        return Failure(2, QStringLiteral("%1 needs two arguments. Usage:\n%2")
                              .arg(arguments.value(0), QString::fromUtf8(kMarkerCommandsUsage).chopped(1)));
    try {
        if (arguments[0] == kExportOption)
            return Export(arguments[1], arguments[2]);
        return Import(arguments[1], arguments[2]);
    } catch (const AppError& e) {
        return Failure(1, e.message());
    }
}

std::optional<int> RunMarkerCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (!IsMarkerCommand(arguments))
        return std::nullopt;
    MarkerCommandResult result = RunMarkerCommand(arguments);
    if (!WriteAll(stdout, result.output) && result.status == 0)
        result = Failure(1, QStringLiteral("Cannot write to standard output."));
    if (!result.message.isEmpty())
        WriteAll(stderr, (QStringLiteral("velmoplayer: ") + result.message + u'\n').toLocal8Bit());
    return result.status;
}
