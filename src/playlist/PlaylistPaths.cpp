#include "playlist/PlaylistPaths.h"

#include <QFileInfo>
#include <QStandardPaths>

const QString DefaultListName = QStringLiteral("NeuList");

QString GetDocumentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        return {};
    return folder.endsWith('/') ? folder : folder + '/';
}

QString DefaultListFile() { return GetDocumentsFolder() + DefaultListName; }

QString ExistingFolderOrDefault(const QString& folder) {
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return DefaultListFile();
}

QString ExtractFileName(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

QString ExtractFilePath(const QString& path) {
    return path.left(path.lastIndexOf('/') + 1);
}

QString ExtractFileDir(const QString& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {};
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}
