#include "platform/QtShell.h"

#include <QDesktopServices>
#include <QUrl>

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

bool QtShell::exploreFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
