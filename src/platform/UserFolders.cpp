#include "platform/UserFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}
}  // namespace

QString GetConfigFolder() {
    // GenericConfigLocation honours $XDG_CONFIG_HOME and falls back to ~/.config.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return QString();
    const QString folder = withTrailingSlash(base) + QStringLiteral("VelmoPlayer/");
    if (!QDir(folder).exists())
        QDir().mkpath(folder);
    return folder;
}

QString GetCacheFolder() {
    // GenericCacheLocation honours $XDG_CACHE_HOME and falls back to ~/.cache.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        return QString();
    const QString folder = withTrailingSlash(base) + QStringLiteral("VelmoPlayer/");
    if (!QDir(folder).exists())
        QDir().mkpath(folder);
    return folder;
}

QString DocumentsDefault() {
    const QString documents =
        withTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return documents + QStringLiteral("NeuList");
}
