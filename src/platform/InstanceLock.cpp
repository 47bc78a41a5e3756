#include "platform/InstanceLock.h"

#include "platform/RuntimeFolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock() : InstanceLock(RuntimeFolder()) {}

InstanceLock::InstanceLock(const QString& folder) : folder_(folder) {}

InstanceLock::~InstanceLock() { release(); }

InstanceLock::Result InstanceLock::acquire() {
    if (held())
        return Result::Acquired;
    if (folder_.isEmpty())
        return Result::Unavailable;
    const QByteArray path = QFile::encodeName(folder_ + '/' + QLatin1String(kName));
    // O_CLOEXEC: programs the player starts (the file manager, a browser)
    // must not inherit the lock and keep it after the player has ended.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Result::Unavailable;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        return taken ? Result::AlreadyExists : Result::Unavailable;
    }
    fd_ = fd;
    return Result::Acquired;
}

void InstanceLock::release() {
    if (fd_ < 0)
        return;
    // Closing the descriptor drops the flock; the file itself stays, so a
    // messenger never races with its removal.
    ::close(fd_);
    fd_ = -1;
}
