#include "platform/RuntimeFolder.h"

#include <QDir>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes path a folder of ours with mode 0700. A folder that already exists
// is only accepted when it is a real folder owned by us; a wider mode is
// narrowed, since the lock and the socket must not be reachable by others.
bool ensurePrivateFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && ::chmod(path.constData(), 0700) != 0)
        return false;
    return true;
}

}  // namespace

QString RuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString folder;
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QDir(runtime).exists())
        folder = QDir::cleanPath(runtime) + QStringLiteral("/VelmoPlayer");
    else
        folder = QStringLiteral("/tmp/VelmoPlayer-%1").arg(::getuid());
    return ensurePrivateFolder(QFile::encodeName(folder)) ? folder : QString();
}
