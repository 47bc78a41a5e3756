#include "playback/uAudioInfo.h"

#include "audio/bass.h"
#include "platform/AudioExtensions.h"
#include "platform/Prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <array>
#include <optional>

namespace {

struct FormatByExtension {
    const char* extension;
    const char* format;
};
constexpr FormatByExtension FormatNames[] = {
    {".mp3", "MP3"}, {".wav", "WAV"},  {".ogg", "OGG"},        {".wma", "WMA"},
    {".mp4", "MP4"}, {".flac", "FLAC"}, {".m4a", "MP4 AUDIO"},
};

// Shown when the file has gone (for instance deleted after it was loaded).
const QString FileNotFoundMsg = QStringLiteral(u"Файл не найден: ");

// A decode-only stream: nothing is played and no output device is needed.
// No sample-format flag, so the library reports the file's own resolution.
constexpr DWORD InfoStreamFlags = BASS_UNICODE | BASS_STREAM_DECODE;

// Two decimals in the default locale, without group separators ("1023.99").
QString TwoDecimals(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', 2);
}

// The size of a file that can be opened for reading; nothing otherwise.
std::optional<qint64> ReadableFileSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.size();
}

quint32 BitsPerSampleOf(DWORD flags) {
    if (flags & BASS_SAMPLE_8BITS)
        return 8;
    if (flags & BASS_SAMPLE_FLOAT)
        return 32;
    return 16;
}

double LengthSeconds(HSTREAM stream) {
    const QWORD bytes = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    if (bytes == QWORD(-1))
        return 0.0;
    const double seconds = BASS_ChannelBytes2Seconds(stream, bytes);
    return seconds > 0.0 ? seconds : 0.0;
}

}  // namespace

QString FileSizeToText(qint64 Bytes) {
    constexpr double Unit = 1024.0;
    const double size = double(Bytes);
    if (size < Unit)
        return QString::number(Bytes) + QStringLiteral(" B");
    if (size < Unit * Unit)
        return TwoDecimals(size / Unit) + QStringLiteral(" KB");
    if (size < Unit * Unit * Unit)
        return TwoDecimals(size / (Unit * Unit)) + QStringLiteral(" MB");
    if (size < Unit * Unit * Unit * Unit)
        return TwoDecimals(size / (Unit * Unit * Unit)) + QStringLiteral(" GB");
    return TwoDecimals(size / (Unit * Unit * Unit * Unit)) + QStringLiteral(" TB");
}

QString GetFileExtLower(const QString& Path) {
    const qsizetype dot = Path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < Path.lastIndexOf(QLatin1Char('/')))
        return QString();
    return Path.mid(dot).toLower();
}

bool IsSupportedAudioFile(const QString& Path) { return HasAcceptedExtension(Path, InfoExtensions()); }

QString GetFormatName(const QString& Extension) {
    const QString lower = Extension.toLower();
    for (const auto& entry : FormatNames)
        if (lower == QLatin1String(entry.extension))
            return QLatin1String(entry.format);
    return QStringLiteral("Unknown");
}

TAudioInfoRead ReadAudioInfo(const QString& Path, TAudioInfo& Info) {
    Info = TAudioInfo{};
    if (!IsSupportedAudioFile(Path))
        return TAudioInfoRead::NotAudio;
    const QFileInfo file(Path);
    if (!file.exists())
        return TAudioInfoRead::Missing;
    // A folder or a device node with an audio name is no audio file; opening
    // a pipe for reading would wait for a writer and freeze the window.
    if (!file.isFile())
        return TAudioInfoRead::NotAudio;
    if (const auto size = ReadableFileSize(Path)) {
        Info.FileSizeBytes = *size;
        Info.FileSizeTxt = FileSizeToText(*size);
    }

    const HSTREAM stream = BASS_StreamCreateFile(FALSE, Path.utf16(), 0, 0, InfoStreamFlags);
    if (stream == 0)
        return TAudioInfoRead::NotAudio;
    BASS_CHANNELINFO channel{};
    if (BASS_ChannelGetInfo(stream, &channel)) {
        Info.FileName = file.fileName();
        Info.Format = GetFormatName(GetFileExtLower(Path));
        Info.SampleRate = channel.freq;
        Info.Channels = channel.chans;
        Info.StereoChannels = channel.chans / 2;
        Info.DurationSec = LengthSeconds(stream);
        Info.BitsPerSample = BitsPerSampleOf(channel.flags);
    }
    BASS_StreamFree(stream);
    return TAudioInfoRead::Read;
}

void ReportMissingAudioFile(const QString& Path) { prompts().message(FileNotFoundMsg + Path); }

bool GetAudioInfo(const QString& Path, TAudioInfo& Info) {
    const TAudioInfoRead read = ReadAudioInfo(Path, Info);
    if (read == TAudioInfoRead::Missing)
        ReportMissingAudioFile(Path);
    return read == TAudioInfoRead::Read;
}
