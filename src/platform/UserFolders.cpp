#include "platform/UserFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

// The player's folder inside a desktop location, created when missing.
QString playerFolderIn(QStandardPaths::StandardLocation location) {
    const QString base = QStandardPaths::writableLocation(location);
    if (base.isEmpty())
        return QString();
    const QString folder = withTrailingSlash(base) + QStringLiteral("VelmoPlayer/");
    if (!QDir(folder).exists())
        QDir().mkpath(folder);
    return folder;
}
}  // namespace

QString GetConfigFolder() {
    // GenericConfigLocation honours $XDG_CONFIG_HOME and falls back to ~/.config.
    return playerFolderIn(QStandardPaths::GenericConfigLocation);
}

QString GetCacheFolder() {
    // GenericCacheLocation honours $XDG_CACHE_HOME and falls back to ~/.cache.
    return playerFolderIn(QStandardPaths::GenericCacheLocation);
}

QString DocumentsDefault() {
    const QString documents =
        withTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return documents + QStringLiteral("NeuList");
}
