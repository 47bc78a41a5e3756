#include "settings/FileAssociations.h"

#include "platform/AppError.h"
#include "platform/ProfileFile.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString kConfirmText = QStringLiteral(
    "Are You Sure to Associate MP3, VAW, OGG, WMA, FLAC, M4A files with Velmo?");
const QString kDoneText =
    QStringLiteral("When you first launch an audio file from Explorer,Windows may ask you to "
                   "confirm opening it in VelmoPlayer. Select VelmoPlayer, check the ") +
    QLatin1Char('"') + QStringLiteral("always Use....") + QLatin1Char('"') +
    QStringLiteral(" box and click OK.");
const QString kDefaultApplications = QStringLiteral("Default Applications");

[[noreturn]] void failedToSet(const QString& file) {
    throw AppError(QStringLiteral("Failed to set data for '%1'").arg(file));
}

void ensureFolder(const QString& file) {
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        failedToSet(file);
}

// The player's icon in the user's icon theme, so that the entry shows it also
// when the player was never installed. An icon that cannot be written costs
// only the picture: the desktop shows its generic one.
void writeUserIcon() {
    const QString path = UserIconPath();
    QFile icon(QString::fromLatin1(kIconResource));
    if (QFileInfo::exists(path) || !icon.open(QIODevice::ReadOnly) || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    const QByteArray bytes = icon.readAll();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
}

void writeDesktopEntry(const QString& programPath) {
    writeUserIcon();
    const QString path = DesktopEntryPath();
    const QByteArray bytes = DesktopEntryText(programPath).toUtf8();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return;  // already in place: leave the file untouched
    existing.close();
    ensureFolder(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        failedToSet(path);
}

// "ours;" followed by the handlers already listed, ours removed from them.
QString withOursFirst(const QString& current) {
    QStringList ids{kDesktopEntryId};
    for (const QString& id : current.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = id.trimmed();
        if (!trimmed.isEmpty() && trimmed != kDesktopEntryId && !ids.contains(trimmed))
            ids << trimmed;
    }
    return ids.join(QLatin1Char(';')) + QLatin1Char(';');
}

void makeDefaultFor(const QStringList& mimeTypes) {
    const QString path = MimeAppsListPath();
    ProfileFile list(path);
    bool changed = false;
    for (const QString& type : mimeTypes) {
        const QString current = list.readString(kDefaultApplications, type, QString());
        const QString wanted = withOursFirst(current);
        if (current != wanted) {
            list.writeString(kDefaultApplications, type, wanted);
            changed = true;
        }
    }
    if (!changed)
        return;
    ensureFolder(path);
    if (!list.save())
        failedToSet(path);
}

void refreshDesktopDatabase() {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!tool.isEmpty())
        shell().startProgram(tool, {QFileInfo(DesktopEntryPath()).absolutePath()});
}

bool desktopIs(const QString& name) {
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& desktop : desktops) {
        if (desktop.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Starts the first installed program of candidates (name, arguments).
bool startFirstInstalled(const QList<QStringList>& candidates) {
    for (const QStringList& candidate : candidates) {
        const QString program = QStandardPaths::findExecutable(candidate.first());
        if (!program.isEmpty() && shell().startProgram(program, candidate.mid(1)))
            return true;
    }
    return false;
}

}  // namespace

const QList<FileTypeAssociation>& AssociationTable() {
    static const QList<FileTypeAssociation> table{
        {".mp3", "VelmoPlayer.MP3", "Audio File MP3", {"audio/mpeg"}},
        {".wav", "VelmoPlayer.WAV", "Audio File WAV", {"audio/x-wav", "audio/wav", "audio/vnd.wave"}},
        {".ogg", "VelmoPlayer.OGG", "Audio File OGG",
         {"audio/ogg", "audio/x-vorbis+ogg", "audio/x-opus+ogg"}},
        {".wma", "VelmoPlayer.WMA", "Audio File WMA", {"audio/x-ms-wma"}},
        {".m4a", "VelmoPlayer.M4A", "Audio File M4A", {"audio/mp4", "audio/x-m4a"}},
        {".flac", "VelmoPlayer.FLAC", "Audio File FLAC", {"audio/flac", "audio/x-flac"}},
    };
    return table;
}

QString DesktopEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/applications/") + kDesktopEntryId;
}

QString UserIconPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/icons/hicolor/128x128/apps/velmoplayer.png");
}

QString MimeAppsListPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/mimeapps.list");
}

QString QuotedExecArgument(const QString& programPath) {
    // Inside the quotes of an Exec argument '"', '`', '$' and '\' take a
    // backslash; then the key's value escapes every backslash once more, and
    // '%' is doubled so it is no field code. Line breaks cannot be expressed.
    QString quoted;
    for (const QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    quoted.replace(QLatin1Char('\n'), QLatin1Char(' '));
    quoted.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString DesktopEntryText(const QString& programPath) {
    QStringList mimeTypes;
    for (const FileTypeAssociation& row : AssociationTable())
        mimeTypes += row.mimeTypes;
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Velmo Player\n"
                          "GenericName=Audio Player\n"
                          "Comment=Play audio files and mark places on their timeline\n"
                          "Exec=%1 %f\n"
                          "Icon=velmoplayer\n"
                          "Terminal=false\n"
                          "Categories=AudioVideo;Audio;Player;\n"
                          "MimeType=%2;\n")
        .arg(QuotedExecArgument(programPath), mimeTypes.join(QLatin1Char(';')));
}

void RegisterFileType(const FileTypeAssociation& row, const QString& programPath) {
    writeDesktopEntry(programPath);
    makeDefaultFor(row.mimeTypes);
}

void AssociateAudioFiles(const QString& programPath) {
    if (!prompts().confirmOkCancel(kConfirmText))
        return;
    for (const FileTypeAssociation& row : AssociationTable())
        RegisterFileType(row, programPath);
    refreshDesktopDatabase();
    prompts().message(kDoneText);
}

void OpenDefaultAppsPage() {
    if (desktopIs(QStringLiteral("GNOME")) &&
        startFirstInstalled({{"gnome-control-center", "default-apps"}}))
        return;
    if (desktopIs(QStringLiteral("KDE")) &&
        startFirstInstalled({{"systemsettings", "kcm_componentchooser"},
                             {"systemsettings5", "componentchooser"}}))
        return;
    shell().exploreFolder(QFileInfo(MimeAppsListPath()).absolutePath());
}
