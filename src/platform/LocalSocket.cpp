#include "platform/LocalSocket.h"

#include <QDeadlineTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace LocalSocket {

namespace {

std::optional<sockaddr_un> AddressOf(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || name.size() >= qsizetype(sizeof address.sun_path))
        return std::nullopt;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return address;
}

int NewSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); }

bool MakeNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Waits until fd is ready for events or the deadline passes; false on the
// deadline or an error.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const qint64 left = deadline.remainingTime();
        const int n = ::poll(&p, 1, left < 0 ? -1 : int(std::min<qint64>(left, 1 << 30)));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

}  // namespace

int Listen(const QString& path) {
    const std::optional<sockaddr_un> address = AddressOf(path);
    if (!address)
        return -1;
    const int fd = NewSocket();
    if (fd < 0)
        return -1;
    Remove(path);
    // Nobody can connect before listen(), so the file is private before it
    // is reachable.
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
                    ::chmod(address->sun_path, S_IRUSR | S_IWUSR) == 0 && ::listen(fd, SOMAXCONN) == 0 &&
                    MakeNonBlocking(fd);
    if (!ok) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void Remove(const QString& path) { ::unlink(QFile::encodeName(path).constData()); }

int Accept(int listenFd) {
    for (;;) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0 || errno != EINTR)
            return fd;
    }
}

bool PeerIsSameUser(int fd) {
    ucred cred{};
    socklen_t len = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

std::optional<QByteArray> ReadAvailable(int fd, qsizetype maxBytes) {
    QByteArray bytes(maxBytes, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::recv(fd, bytes.data(), size_t(maxBytes), 0);
        if (n > 0) {
            bytes.truncate(n);
            return bytes;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return QByteArray();
        return std::nullopt;
    }
}

bool SendSmall(int fd, const QByteArray& bytes) {
    return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

bool SendAndAwaitAnswer(const QString& path, const QByteArray& bytes, int connectTimeoutMs,
                        int answerTimeoutMs) {
    const std::optional<sockaddr_un> address = AddressOf(path);
    if (!address)
        return false;
    const int fd = NewSocket();
    if (fd < 0)
        return false;
    // A blocking connect waits for room in the listener's queue at most this
    // long; a socket file nobody listens on refuses at once.
    const timeval connectTimeout{connectTimeoutMs / 1000, (connectTimeoutMs % 1000) * 1000};
    bool ok = ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &connectTimeout, sizeof connectTimeout) == 0 &&
              ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
              MakeNonBlocking(fd);
    const QDeadlineTimer deadline(answerTimeoutMs);
    for (qsizetype sent = 0; ok && sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n > 0)
            sent += n;
        else if (n < 0 && errno != EINTR)
            ok = (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLOUT, deadline);
    }
    bool answered = false;
    while (ok && !answered) {
        char answer;
        const ssize_t n = ::recv(fd, &answer, 1, 0);
        if (n > 0)
            answered = true;
        else if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            ok = false;  // hung up or broken before answering
        else if (errno != EINTR)
            ok = WaitFor(fd, POLLIN, deadline);
    }
    ::close(fd);
    return answered;
}

}  // namespace LocalSocket
