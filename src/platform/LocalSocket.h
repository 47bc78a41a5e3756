#pragma once
// Plain Unix-domain stream sockets for the hand-off between two starts of
// the program, without Qt's network library (it would cost a start-up more
// than a megabyte of libraries for one socket). The descriptors are
// non-blocking and close on exec; the owner closes them with ::close().

#include <QByteArray>
#include <QString>

#include <optional>

namespace LocalSocket {

// Makes a socket file at path that only this user may connect to and
// listens on it. Whatever was at path is replaced: the caller has made sure
// no one else serves there. Returns the listening descriptor, or -1 (path too
// long for a socket, folder not writable ...).
int Listen(const QString& path);

// Removes the socket file of a listener (after closing it).
void Remove(const QString& path);

// The next waiting connection of a listener, or -1 when none waits.
int Accept(int listenFd);

// Whether the process at the other end runs as this user.
bool PeerIsSameUser(int fd);

// Reads at most maxBytes of what has arrived, without waiting. Returns the
// bytes (empty when nothing waits yet), or nothing once the other end has
// hung up or the connection broke.
std::optional<QByteArray> ReadAvailable(int fd, qsizetype maxBytes);

// Sends a few bytes without waiting (they fit the socket's buffer); false
// when the other end is gone.
bool SendSmall(int fd, const QByteArray& bytes);

// Connects to path, sends bytes and waits for the first byte of an answer.
// Returns true when one came; false when nothing listens at path, the
// connection could not be made within connectTimeoutMs, it broke, or no
// answer came within answerTimeoutMs. Blocks the calling thread.
bool SendAndAwaitAnswer(const QString& path, const QByteArray& bytes, int connectTimeoutMs,
                        int answerTimeoutMs);

}  // namespace LocalSocket
