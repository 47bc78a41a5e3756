#pragma once
// Facts about one audio file (name, format, sample rate, channels, sample
// resolution, length, size), read through a decode-only stream of the audio
// library that is freed again at once. The main window's file information
// notice and the playlist window's file details show them.
//
// Every function here runs on the GUI thread (GetAudioInfo may show a message
// box) unless it says otherwise; none keeps state.

#include <QString>
#include <QtGlobal>

struct TAudioInfo {
    QString FileName;            // file-name part of the path, no folder
    QString Format;              // "MP3", "WAV" ... from the extension
    quint32 SampleRate = 0;      // Hz, as the library reports it
    quint32 Channels = 0;
    quint32 StereoChannels = 0;  // Channels div 2
    quint32 BitsPerSample = 0;   // 8, 32 (floating point) or 16
    double DurationSec = 0.0;
    qint64 FileSizeBytes = 0;
    QString FileSizeTxt;         // FileSizeToText(FileSizeBytes)
};

// The size in units of 1024: "1023 B", "1.00 KB", "1.50 KB", "3.52 MB", "4.00 GB",
// "1.00 TB"; two decimals with the decimal separator of the default locale.
QString FileSizeToText(qint64 Bytes);

// The extension with its dot, in lower case ("/m/Song.MP3" gives ".mp3");
// empty when the name has none. A dot in a folder name is no extension.
QString GetFileExtLower(const QString& Path);

// True for the extensions the player opens: .wav .mp3 .ogg .wma .flac .mp4
// .m4a, in any letter case.
bool IsSupportedAudioFile(const QString& Path);

// "MP3", "WAV", "OGG", "WMA", "MP4", "FLAC", "MP4 AUDIO" (.m4a) or "Unknown";
// the extension (with its dot) is compared in lower case.
QString GetFormatName(const QString& Extension);

// What ReadAudioInfo found.
enum class TAudioInfoRead { Read, NotAudio, Missing };

// GetAudioInfo without the message about a missing file: safe on any thread.
TAudioInfoRead ReadAudioInfo(const QString& Path, TAudioInfo& Info);

// The message GetAudioInfo shows for a missing file (GUI thread).
void ReportMissingAudioFile(const QString& Path);

// Fills Info with the facts of the file at Path; Info is cleared first.
// Returns true when the audio library could open the file (even if it then
// could not describe it: only the size fields are filled in that case).
// An unsupported extension or a file the library refuses gives false with
// nothing shown; a missing file gives false after the message
// "Файл не найден: " + Path (through Prompts). A file that exists but cannot
// be read keeps size 0 and an empty size text.
bool GetAudioInfo(const QString& Path, TAudioInfo& Info);
