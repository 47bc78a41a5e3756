#include "timeline/MarkerExchange.h"

#include "timeline/MarkerModel.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace {

// CUE sheets count time in CD frames.
constexpr qint64 kCueFramesPerSecond = 75;
// A CD holds at most 99 tracks, and cue sheet readers refuse more.
constexpr int kCueMaxTracks = 99;
// Times past this (some 30 years) come only from a hand-edited marker file;
// the formats' whole numbers could not hold them.
constexpr double kMaxExportSeconds = 1e9;
// The chapter format version the podcast exporter writes.
const char* const kPodcastChaptersVersion = "1.2.0";

[[noreturn]] void Fail(const QString& source, int line, const QString& reason) {
    throw MarkerExchangeError(QStringLiteral("%1, line %2: %3").arg(source).arg(line).arg(reason));
}

[[noreturn]] void Fail(const QString& source, const QString& reason) {
    throw MarkerExchangeError(QStringLiteral("%1: %2").arg(source, reason));
}

// Line-based formats keep a description on its line: breaks and tabs become spaces.
QString OneLine(QString text) {
    for (QChar& c : text)
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    return text;
}

// Times as the file formats write them: "." as the decimal point always.
QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

// A number field of a line-based file: "." or "," as the decimal point, no
// blanks, finite and not negative.
std::optional<double> ReadSeconds(QString field) {
    field.replace(u',', u'.');
    bool ok = false;
    const double value = field.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

QStringList SplitLines(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// ---- export ---------------------------------------------------------------------------

QByteArray ExportAudacity(const TMarkerList& markers) {
    QString out;
    for (const TMarker& m : markers) {
        const QString t = Fixed(m.Time, 6);
        out += t + u'\t' + t + u'\t' + OneLine(m.Description) + u'\n';
    }
    return out.toUtf8();
}

// CUE strings are quoted and have no escape: a quote becomes an apostrophe.
QString CueString(const QString& text) {
    return u'"' + OneLine(text).replace(u'"', u'\'') + u'"';
}

QString CueFileType(const QString& audioFileName) {
    const QString suffix = QFileInfo(audioFileName).suffix().toLower();
    if (suffix == u"mp3")
        return QStringLiteral("MP3");
    if (suffix == u"aif" || suffix == u"aiff")
        return QStringLiteral("AIFF");
    return QStringLiteral("WAVE");
}

QString CueTime(double seconds) {
    const qint64 frames = std::llround(seconds * kCueFramesPerSecond);
    const qint64 wholeSeconds = frames / kCueFramesPerSecond;
    return QStringLiteral("%1:%2:%3")
        .arg(wholeSeconds / 60, 2, 10, QChar(u'0'))
        .arg(wholeSeconds % 60, 2, 10, QChar(u'0'))
        .arg(frames % kCueFramesPerSecond, 2, 10, QChar(u'0'));
}

QByteArray ExportCue(const TMarkerList& markers, const MarkerExportContext& context) {
    if (markers.size() > kCueMaxTracks)
        throw MarkerExchangeError(
            QStringLiteral("A CUE sheet holds at most %1 tracks; there are %2 markers.")
                .arg(kCueMaxTracks)
                .arg(markers.size()));
    QString out = QStringLiteral("FILE %1 %2\n")
                      .arg(CueString(QFileInfo(context.audioFileName).fileName()),
                           CueFileType(context.audioFileName));
    int track = 0;
    for (const TMarker& m : markers) {
        out += QStringLiteral("  TRACK %1 AUDIO\n").arg(++track, 2, 10, QChar(u'0'));
        out += QStringLiteral("    TITLE %1\n").arg(CueString(m.Description));
        out += QStringLiteral("    INDEX 01 %1\n").arg(CueTime(m.Time));
    }
    return out.toUtf8();
}

// FFmpeg's metadata values escape "=", ";", "#", "\" and line breaks with "\".
QString FfEscape(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == u'=' || c == u';' || c == u'#' || c == u'\\' || c == u'\n')
            out += u'\\';
        out += c;
    }
    return out;
}

QByteArray ExportFfMetadata(const TMarkerList& markers, const MarkerExportContext& context) {
    const qint64 durationMs = std::llround(context.durationSeconds * 1000);
    QString out = QStringLiteral(";FFMETADATA1\n");
    for (int i = 0; i < markers.size(); ++i) {
        const qint64 start = std::llround(markers[i].Time * 1000);
        // A chapter lasts until the next one; the last until the end of the file.
        qint64 end = i + 1 < markers.size() ? std::llround(markers[i + 1].Time * 1000) : durationMs;
        end = std::max(end, start);
        out += QStringLiteral("[CHAPTER]\nTIMEBASE=1/1000\nSTART=%1\nEND=%2\ntitle=%3\n")
                   .arg(start)
                   .arg(end)
                   .arg(FfEscape(QString(markers[i].Description).replace(u'\r', u' ')));
    }
    return out.toUtf8();
}

QByteArray ExportPodcastJson(const TMarkerList& markers) {
    QJsonArray chapters;
    for (const TMarker& m : markers) {
        // Milliseconds are plenty and keep the numbers short.
        chapters.append(QJsonObject{{QStringLiteral("startTime"), std::round(m.Time * 1000) / 1000},
                                    {QStringLiteral("title"), m.Description}});
    }
    const QJsonObject root{{QStringLiteral("version"), QString::fromLatin1(kPodcastChaptersVersion)},
                           {QStringLiteral("chapters"), chapters}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

// "mm:ss", or "hh:mm:ss" for a file of an hour or more; whole seconds, cut
// down so that a chapter never starts after its marker.
QString TimestampText(double seconds, bool hours) {
    const qint64 whole = qint64(std::floor(seconds));
    const QString minSec = QStringLiteral("%1:%2")
                               .arg(hours ? (whole / 60) % 60 : whole / 60, 2, 10, QChar(u'0'))
                               .arg(whole % 60, 2, 10, QChar(u'0'));
    return hours ? QStringLiteral("%1:").arg(whole / 3600, 2, 10, QChar(u'0')) + minSec : minSec;
}

QByteArray ExportTimestamps(const TMarkerList& markers, const MarkerExportContext& context) {
    const double last = markers.isEmpty() ? 0 : markers.last().Time;
    const bool hours = std::max(context.durationSeconds, last) >= 3600;
    QString out;
    for (const TMarker& m : markers)
        out += TimestampText(m.Time, hours) + u' ' + OneLine(m.Description) + u'\n';
    return out.toUtf8();
}

// ---- import ---------------------------------------------------------------------------

bool IsBlankLine(const QString& line) { return line.trimmed().isEmpty(); }

TMarkerList ImportAudacity(const QStringList& lines, const QString& source) {
    TMarkerList markers;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        // Blank lines, and the frequency lines ("\t<low>\t<high>") that follow
        // a label made in the spectrogram.
        if (IsBlankLine(line) || line.startsWith(u'\\'))
            continue;
        const QStringList fields = line.split(u'\t');
        const std::optional<double> start = ReadSeconds(fields[0].trimmed());
        if (!start)
            Fail(source, i + 1, QStringLiteral("'%1' is not a label start time").arg(fields[0]));
        if (fields.size() > 1 && !ReadSeconds(fields[1].trimmed()))
            Fail(source, i + 1, QStringLiteral("'%1' is not a label end time").arg(fields[1]));
        // A region label becomes a marker at its start.
        markers.append({*start, fields.mid(2).join(u'\t')});
    }
    return markers;
}

// The text after a CUE command: a quoted string or the rest of the line.
QString CueArgument(const QString& rest, const QString& source, int line) {
    const QString text = rest.trimmed();
    if (!text.startsWith(u'"'))
        return text;
    const qsizetype close = text.indexOf(u'"', 1);
    if (close < 0)
        Fail(source, line, QStringLiteral("the quoted text has no closing quote"));
    return text.mid(1, close - 1);
}

TMarkerList ImportCue(const QStringList& lines, const QString& source) {
    static const QRegularExpression indexPattern(QStringLiteral("^(\\d+)\\s+(\\d+):(\\d{2}):(\\d{2})$"));
    static const QStringList ignored{"REM",  "PERFORMER", "SONGWRITER", "CATALOG", "CDTEXTFILE",
                                     "FLAGS", "ISRC",     "PREGAP",     "POSTGAP"};
    TMarkerList markers;
    int files = 0;
    int trackLine = 0;            // line of the open TRACK, 0 outside a track
    std::optional<double> start;  // its INDEX 01
    QString title;
    const auto closeTrack = [&] {
        if (trackLine == 0)
            return;
        if (!start)
            Fail(source, trackLine, QStringLiteral("the track has no INDEX 01"));
        markers.append({*start, title});
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype space = line.indexOf(u' ');
        const QString command = line.left(space < 0 ? line.size() : space).toUpper();
        const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
        if (command == u"FILE") {
            // Markers belong to one audio file; times of a second file would
            // count from its own start.
            if (++files > 1)
                Fail(source, i + 1, QStringLiteral("the sheet names more than one audio file"));
        } else if (command == u"TRACK") {
            closeTrack();
            trackLine = i + 1;
            start.reset();
            title.clear();
        } else if (command == u"TITLE") {
            if (trackLine != 0)
                title = CueArgument(rest, source, i + 1);
        } else if (command == u"INDEX") {
            const QRegularExpressionMatch m = indexPattern.match(rest);
            if (!m.hasMatch() || trackLine == 0)
                Fail(source, i + 1, QStringLiteral("'%1' is not a track index like INDEX 01 mm:ss:ff").arg(line));
            const int seconds = m.captured(3).toInt();
            const int frames = m.captured(4).toInt();
            if (seconds >= 60 || frames >= kCueFramesPerSecond)
                Fail(source, i + 1, QStringLiteral("'%1' holds seconds over 59 or frames over 74").arg(line));
            if (m.captured(1).toInt() == 1)
                start = m.captured(2).toLongLong() * 60 + seconds + double(frames) / kCueFramesPerSecond;
        } else if (!ignored.contains(command)) {
            Fail(source, i + 1, QStringLiteral("'%1' is no CUE sheet command").arg(command));
        }
    }
    closeTrack();
    return markers;
}

// FFmpeg metadata lines, with a line that ends in an escaping "\" joined to
// the next one (the break belongs to the value). Each keeps its first line number.
QList<QPair<int, QString>> FfLogicalLines(const QStringList& lines) {
    QList<QPair<int, QString>> out;
    bool continued = false;
    for (int i = 0; i < lines.size(); ++i) {
        if (continued)
            out.last().second += u'\n' + lines[i];
        else
            out.append({i + 1, lines[i]});
        const QString& text = out.last().second;
        qsizetype slashes = 0;
        while (slashes < text.size() && text[text.size() - 1 - slashes] == u'\\')
            ++slashes;
        continued = slashes % 2 == 1;
        if (continued)
            out.last().second.chop(1);
    }
    return out;
}

// Splits "key=value" at the first unescaped "=" and removes the escapes.
bool FfKeyValue(const QString& line, QString& key, QString& value) {
    key.clear();
    value.clear();
    QString* target = &key;
    bool split = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        QChar c = line[i];
        if (c == u'\\' && i + 1 < line.size()) {
            *target += line[++i];
        } else if (c == u'=' && !split) {
            split = true;
            target = &value;
        } else {
            *target += c;
        }
    }
    return split;
}

TMarkerList ImportFfMetadata(const QStringList& lines, const QString& source) {
    static const QRegularExpression timebasePattern(QStringLiteral("^(\\d+)/(\\d+)$"));
    TMarkerList markers;
    int chapterLine = 0;  // line of the open [CHAPTER], 0 outside one
    double timebase = 1e-9;  // FFmpeg's default when a chapter names none
    std::optional<qint64> start;
    QString title;
    const auto closeChapter = [&] {
        if (chapterLine == 0)
            return;
        if (!start)
            Fail(source, chapterLine, QStringLiteral("the chapter has no START"));
        markers.append({double(*start) * timebase, title});
        chapterLine = 0;
    };
    const QList<QPair<int, QString>> logical = FfLogicalLines(lines);
    for (const auto& [lineNo, text] : logical) {
        if (text.isEmpty() || text.startsWith(u';') || text.startsWith(u'#'))
            continue;
        if (text.startsWith(u'[')) {
            closeChapter();
            if (text.trimmed() == u"[CHAPTER]") {
                chapterLine = lineNo;
                timebase = 1e-9;
                start.reset();
                title.clear();
            }
            continue;
        }
        QString key, value;
        if (!FfKeyValue(text, key, value))
            Fail(source, lineNo, QStringLiteral("'%1' is no key=value line").arg(text));
        if (chapterLine == 0)
            continue;  // metadata of the whole file or of a stream
        if (key == u"TIMEBASE") {
            const QRegularExpressionMatch m = timebasePattern.match(value);
            if (!m.hasMatch() || m.captured(1).toLongLong() == 0 || m.captured(2).toLongLong() == 0)
                Fail(source, lineNo, QStringLiteral("'%1' is no time base like 1/1000").arg(value));
            timebase = m.captured(1).toDouble() / m.captured(2).toDouble();
        } else if (key == u"START") {
            bool ok = false;
            start = value.toLongLong(&ok);
            if (!ok || *start < 0)
                Fail(source, lineNo, QStringLiteral("'%1' is no chapter start").arg(value));
        } else if (key.compare(u"title", Qt::CaseInsensitive) == 0) {
            title = value;
        }
    }
    closeChapter();
    return markers;
}

int LineOfOffset(const QByteArray& bytes, int offset) {
    return int(bytes.left(offset).count('\n')) + 1;
}

TMarkerList ImportPodcastJson(const QByteArray& bytes, const QString& source) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        Fail(source, LineOfOffset(bytes, error.offset), error.errorString());
    const QJsonValue chapters = doc.object().value(QStringLiteral("chapters"));
    if (!doc.isObject() || !chapters.isArray())
        Fail(source, QStringLiteral("the JSON holds no \"chapters\" list"));
    TMarkerList markers;
    int number = 0;
    for (const QJsonValue& entry : chapters.toArray()) {
        ++number;
        const QJsonValue startTime = entry.toObject().value(QStringLiteral("startTime"));
        const QJsonValue title = entry.toObject().value(QStringLiteral("title"));
        if (!startTime.isDouble() || !(startTime.toDouble() >= 0) || !std::isfinite(startTime.toDouble()))
            Fail(source, QStringLiteral("chapter %1 has no \"startTime\" of zero or more seconds").arg(number));
        if (!title.isUndefined() && !title.isString())
            Fail(source, QStringLiteral("the \"title\" of chapter %1 is no text").arg(number));
        markers.append({startTime.toDouble(), title.toString()});
    }
    return markers;
}

// "00:00 Intro", "1:02:03 - Part two", "[12:30] Outro": a time of whole
// seconds (a fraction is allowed) at the start, then the title.
const QRegularExpression& TimestampPattern() {
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*[\\[(]?(?:(\\d+):)?(\\d+):(\\d{2})(?:\\.(\\d+))?[\\])]?(?:\\s+|$)(.*)$"));
    return pattern;
}

TMarkerList ImportTimestamps(const QStringList& lines, const QString& source) {
    static const QRegularExpression separator(QStringLiteral("^[-\u2013\u2014:|]\\s+"));
    TMarkerList markers;
    for (int i = 0; i < lines.size(); ++i) {
        if (IsBlankLine(lines[i]))
            continue;
        const QRegularExpressionMatch m = TimestampPattern().match(lines[i]);
        if (!m.hasMatch())
            Fail(source, i + 1, QStringLiteral("'%1' does not start with a time like 01:23").arg(lines[i]));
        const bool hasHours = m.capturedLength(1) > 0;
        const qint64 minutes = m.captured(2).toLongLong();
        const qint64 seconds = m.captured(3).toLongLong();
        if (seconds >= 60 || (hasHours && minutes >= 60))
            Fail(source, i + 1, QStringLiteral("'%1' holds minutes or seconds over 59").arg(lines[i]));
        const double fraction = m.capturedLength(4) > 0 ? (QStringLiteral("0.") + m.captured(4)).toDouble() : 0;
        const double time = m.captured(1).toLongLong() * 3600.0 + minutes * 60.0 + seconds + fraction;
        markers.append({time, m.captured(5).trimmed().remove(separator)});
    }
    return markers;
}

bool IsCueCommand(const QString& word) {
    static const QStringList commands{"REM",        "FILE",  "TITLE",  "PERFORMER", "CATALOG",
                                      "CDTEXTFILE", "TRACK", "INDEX",  "SONGWRITER", "FLAGS",
                                      "ISRC",       "PREGAP", "POSTGAP"};
    return commands.contains(word);
}

bool IsAudacityLine(const QString& line) {
    const qsizetype tab = line.indexOf(u'\t');
    return tab > 0 && ReadSeconds(line.left(tab).trimmed()).has_value();
}

}  // namespace

QString MarkerFormatName(MarkerFormat format) {
    switch (format) {
    case MarkerFormat::Audacity: return QStringLiteral("audacity");
    case MarkerFormat::Cue: return QStringLiteral("cue");
    case MarkerFormat::FfMetadata: return QStringLiteral("ffmetadata");
    case MarkerFormat::PodcastJson: return QStringLiteral("podcast-json");
    case MarkerFormat::Timestamps: return QStringLiteral("timestamps");
    }
    return {};
}

std::optional<MarkerFormat> MarkerFormatFromName(const QString& name) {
    for (const MarkerFormat format : kMarkerFormats)
        if (MarkerFormatName(format) == name)
            return format;
    return std::nullopt;
}

QString MarkerFormatSuffix(MarkerFormat format) {
    switch (format) {
    case MarkerFormat::Cue: return QStringLiteral("cue");
    case MarkerFormat::FfMetadata: return QStringLiteral("ffmetadata");
    case MarkerFormat::PodcastJson: return QStringLiteral("json");
    case MarkerFormat::Audacity:
    case MarkerFormat::Timestamps: return QStringLiteral("txt");
    }
    return {};
}

MarkerFormat MarkerFormatForExportName(const QString& fileName, MarkerFormat chosen) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const MarkerFormat format : kMarkerFormats)
        if (format != MarkerFormat::Audacity && format != MarkerFormat::Timestamps &&
            MarkerFormatSuffix(format) == suffix)
            return format;
    return chosen;
}

QByteArray ExportMarkers(MarkerFormat format, const TMarkerList& unsorted,
                         const MarkerExportContext& context) {
    TMarkerList markers = unsorted;
    SortMarkersByTime(markers);
    for (const TMarker& m : markers)
        if (!(m.Time >= 0 && m.Time <= kMaxExportSeconds))
            throw MarkerExchangeError(
                QStringLiteral("The marker \"%1\" at %2 s lies outside any audio file; "
                               "other programs cannot take it.")
                    .arg(m.Description, QString::number(m.Time)));
    switch (format) {
    case MarkerFormat::Audacity: return ExportAudacity(markers);
    case MarkerFormat::Cue: return ExportCue(markers, context);
    case MarkerFormat::FfMetadata: return ExportFfMetadata(markers, context);
    case MarkerFormat::PodcastJson: return ExportPodcastJson(markers);
    case MarkerFormat::Timestamps: return ExportTimestamps(markers, context);
    }
    return {};
}

ImportedMarkers ImportMarkers(const QByteArray& bytes, const QString& sourceName) {
    const QStringList lines = SplitLines(bytes);
    int first = 0;
    while (first < lines.size() && IsBlankLine(lines[first]))
        ++first;
    if (first == lines.size())
        Fail(sourceName, QStringLiteral("the file is empty"));
    const QString head = lines[first].trimmed();
    const QString word = head.section(u' ', 0, 0).toUpper();
    if (head.startsWith(QStringLiteral(";FFMETADATA")))
        return {MarkerFormat::FfMetadata, ImportFfMetadata(lines, sourceName)};
    if (head.startsWith(u'{'))
        return {MarkerFormat::PodcastJson, ImportPodcastJson(bytes, sourceName)};
    if (IsCueCommand(word))
        return {MarkerFormat::Cue, ImportCue(lines, sourceName)};
    if (IsAudacityLine(lines[first]))
        return {MarkerFormat::Audacity, ImportAudacity(lines, sourceName)};
    if (TimestampPattern().match(lines[first]).hasMatch())
        return {MarkerFormat::Timestamps, ImportTimestamps(lines, sourceName)};
    Fail(sourceName, first + 1,
         QStringLiteral("this is none of the marker formats read here (Audacity labels, CUE sheet, "
                        "FFmpeg metadata, podcast JSON chapters, timestamp lines)"));
}

ImportedMarkers ImportMarkerFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw MarkerExchangeError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    return ImportMarkers(file.readAll(), path);
}

int MergeImportedMarkers(TMarkerList& markers, const TMarkerList& imported) {
    int added = 0;
    for (const TMarker& m : imported) {
        if (MarkerExistsAt(markers, m.Time, -1))
            continue;
        markers.append(m);
        ++added;
    }
    SortMarkersByTime(markers);
    return added;
}
