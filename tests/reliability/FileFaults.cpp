#include "FileFaults.h"

#include "../settings/FakeWindows.h"
#include "settings/uIni.h"
#include "settings/uSettings.h"
#include "playlist/PlaylistFile.h"
#include "settings/LangTexts.h"
#include "timeline/MarkerFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

int countFor(int generation, bool huge) { return huge ? 1500000 : 3 + generation; }

void writeMarkers(const QString& path, int generation, bool huge) {
    TMarkerList markers;
    const int count = countFor(generation, huge);
    markers.reserve(count);
    for (int i = 0; i < count; ++i)
        markers.push_back(TMarker{i * 0.5 + generation, QStringLiteral("gen %1 marker %2").arg(generation).arg(i)});
    WriteMarkerFile(path, markers);
}

void writePlaylist(const QString& path, int generation, bool huge) {
    QStringList lines;
    const int count = countFor(generation, huge);
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("/music/gen %1/track %2.mp3").arg(generation).arg(i);
    WritePlaylistFile(path, lines);
}

// The settings file as the program saves it at exit.
void writeSettings(const QString& path, int generation, bool huge) {
    TfrmSettings settings;
    settings.SetSeekTime(generation);
    FakeWindows windows;
    windows.volume = generation;
    if (huge)
        windows.listFilename = QString(40 * 1024 * 1024, QChar('x'));
    SaveSettingsTo(path, settings, windows);
}

void writeLanguage(const QString& path, int, bool) { uLang::WriteLanguageFile(path); }

bool createMessage(const QString& message, const QString& path) {
    return message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path));
}

bool playlistMessage(const QString& message, const QString& path) {
    return createMessage(message, path) || message.startsWith(QStringLiteral("Cannot write file \"%1\". ").arg(path));
}

bool profileMessage(const QString& message, const QString& path) {
    return message == QStringLiteral("Unable to write to %1").arg(path);
}

bool runMount(const QStringList& arguments) {
    QProcess mount;
    mount.start(QStringLiteral("mount"), arguments);
    return mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
}

}  // namespace

const std::vector<SavedFileKind>& SavedFileKinds() {
    static const std::vector<SavedFileKind> kinds = {
        {"markers", writeMarkers, createMessage, true},
        {"playlist", writePlaylist, playlistMessage, true},
        {"settings", writeSettings, profileMessage, true},
        {"language", writeLanguage, profileMessage, false},
    };
    return kinds;
}

const SavedFileKind* SavedFileKindNamed(const QString& name) {
    for (const SavedFileKind& kind : SavedFileKinds())
        if (name == QLatin1String(kind.name))
            return &kind;
    return nullptr;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TmpfsMount::TmpfsMount(const QString& folder, const QString& options) : folder_(folder) {
    QDir().mkpath(folder);
    mounted_ = runMount({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                         QStringLiteral("tmpfs"), folder});
}

TmpfsMount::~TmpfsMount() {
    if (mounted_)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), folder_});
}

bool TmpfsMount::remount(const QString& options) {
    return runMount({QStringLiteral("-o"), QStringLiteral("remount,") + options, folder_});
}
