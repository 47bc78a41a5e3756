#include "platform/HandOffServer.h"

#include "platform/HandOffRecord.h"
#include "platform/InstanceLock.h"
#include "platform/RuntimeFolder.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <exception>
#include <utility>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// The answer byte: the message result, 0.
constexpr char kAnswer = '\0';

bool peerIsSameUser(QLocalSocket* socket) {
    struct ucred cred {};
    socklen_t len = sizeof cred;
    const int fd = int(socket->socketDescriptor());
    if (fd < 0 || ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    return cred.uid == ::getuid();
}

// Answers the sender and hangs up when it goes out of scope, unless the
// sender gave up first.
struct AnswerWhenDone {
    QPointer<QLocalSocket> socket;
    ~AnswerWhenDone() {
        if (socket && socket->state() == QLocalSocket::ConnectedState) {
            socket->write(&kAnswer, 1);
            socket->disconnectFromServer();
        }
    }
};

}  // namespace

HandOffServer::HandOffServer(Receiver receiver, QObject* parent)
    : QObject(parent), receiver_(std::move(receiver)) {}

HandOffServer::~HandOffServer() { close(); }

QString HandOffServer::socketPath(const QString& folder) {
    return folder + '/' + QLatin1String(kCaption);
}

bool HandOffServer::listen(const InstanceLock& lock) {
    if (!lock.held())
        return false;
    if (isListening())
        return true;
    const QString path = socketPath(lock.folder());
    // The lock proves no other player owns the socket: whatever is there is
    // left from a player that ended without cleaning up.
    QLocalServer::removeServer(path);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        delete server;
        return false;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &HandOffServer::acceptPending);
    return true;
}

void HandOffServer::close() {
    pending_.clear();  // their senders are hung up on with the sockets
    if (!server_)
        return;
    server_->close();  // also removes the socket file
    delete server_;
    server_ = nullptr;
}

bool HandOffServer::isListening() const { return server_ && server_->isListening(); }

void HandOffServer::acceptPending() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsSameUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connections_.insert(socket, Connection{});
        connect(socket, &QObject::destroyed, this, [this, socket] { connections_.remove(socket); });
        QTimer::singleShot(kIdleTimeoutMs, socket, [this, socket] {
            if (!connections_.value(socket).done)
                socket->abort();
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void HandOffServer::readFrom(QLocalSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end())
        return;
    if (it->done) {
        socket->readAll();  // one record per connection; the rest is noise
        return;
    }
    QByteArray& buffer = it->buffer;
    // Read no more than the record can hold, so a stream of junk never grows
    // the buffer past the cap.
    const qsizetype want = buffer.size() < HandOffRecord::kHeaderSize
        ? HandOffRecord::kHeaderSize - buffer.size()
        : 0;
    if (want > 0)
        buffer += socket->read(want);
    if (buffer.size() < HandOffRecord::kHeaderSize)
        return;
    const std::optional<qsizetype> total = HandOffRecord::totalSize(buffer);
    if (!total) {
        socket->abort();
        return;
    }
    buffer += socket->read(*total - buffer.size());
    if (buffer.size() < *total)
        return;
    it->done = true;
    const std::optional<QString> path = HandOffRecord::parse(std::exchange(buffer, QByteArray()));
    if (!path) {
        socket->abort();
        return;
    }
    // Handled from a queued call: a dialog opened by the receiver runs its own
    // event loop, in which this socket may close and be deleted, so the
    // handling must not run inside the socket's own signal.
    pending_.append(Pending{QPointer<QLocalSocket>(socket), *path});
    QMetaObject::invokeMethod(this, &HandOffServer::handleNext, Qt::QueuedConnection);
}

void HandOffServer::handleNext() {
    if (handling_ || pending_.isEmpty())
        return;
    const Pending next = pending_.takeFirst();
    // Copies, as a dialog's event loop may close or even destroy the server.
    const Receiver receiver = receiver_;
    const QPointer<HandOffServer> self(this);
    handling_ = true;
    std::exception_ptr failure;
    {
        // The sender is answered once the receiver is done, also when it throws.
        AnswerWhenDone answer{next.socket};
        try {
            if (receiver)
                receiver(next.path);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (!self)
        return;
    handling_ = false;
    // Raised again from a plain queued call, so it reaches the application's
    // error report cleanly.
    if (failure)
        QMetaObject::invokeMethod(this, [failure] { std::rethrow_exception(failure); }, Qt::QueuedConnection);
    if (!pending_.isEmpty())
        QMetaObject::invokeMethod(this, &HandOffServer::handleNext, Qt::QueuedConnection);
}

bool SendHandOff(const QString& path) {
    const QString folder = RuntimeFolder();
    if (folder.isEmpty())
        return false;
    return SendHandOff(HandOffServer::socketPath(folder), path);
}

bool SendHandOff(const QString& socketPath, const QString& path, int answerTimeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kHandOffConnectTimeoutMs))
        return false;
    const QByteArray record = HandOffRecord::build(path);
    if (socket.write(record) != record.size())
        return false;
    const QDeadlineTimer deadline(answerTimeoutMs);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (socket.bytesAvailable() == 0) {
        if (socket.state() != QLocalSocket::ConnectedState || deadline.hasExpired())
            return false;
        socket.waitForReadyRead(int(deadline.remainingTime()));
    }
    socket.abort();
    return true;
}
