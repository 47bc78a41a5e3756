#include "platform/HandOffServer.h"

#include "platform/HandOffRecord.h"
#include "platform/InstanceLock.h"
#include "platform/LocalSocket.h"
#include "platform/RuntimeFolder.h"

#include <QSocketNotifier>
#include <QTimer>

#include <exception>
#include <utility>

#include <unistd.h>

namespace {

// The answer byte: the message result, 0.
constexpr char kAnswer = '\0';

}  // namespace

// One sender's connection: its socket, watched for what arrives, and the
// record so far. Closing it hangs up on the sender.
class HandOffServer::Connection final : public QObject {
public:
    Connection(int fd, HandOffServer* server)
        : QObject(&server->connections_), fd_(fd), notifier_(fd, QSocketNotifier::Read) {
        connect(&notifier_, &QSocketNotifier::activated, server, [server, this] { server->readFrom(this); });
    }
    ~Connection() override { closeSocket(); }

    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }

    // Hangs up at once; the object goes once the event loop is back.
    void hangUp() {
        closeSocket();
        deleteLater();
    }

    // Answers the sender, if still there, and hangs up.
    void answer() {
        if (isOpen())
            LocalSocket::SendSmall(fd_, QByteArray(1, kAnswer));
        hangUp();
    }

    QByteArray buffer;  // the record so far
    bool done = false;  // a whole record arrived

private:
    void closeSocket() {
        if (fd_ < 0)
            return;
        notifier_.setEnabled(false);
        ::close(fd_);
        fd_ = -1;
    }

    int fd_;
    QSocketNotifier notifier_;
};

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
    // left from a player that ended without cleaning up, and is replaced.
    const int fd = LocalSocket::Listen(path);
    if (fd < 0)
        return false;
    listenFd_ = fd;
    path_ = path;
    listenNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(listenNotifier_, &QSocketNotifier::activated, this, &HandOffServer::acceptPending);
    return true;
}

void HandOffServer::close() {
    pending_.clear();
    // Their senders are hung up on.
    const QObjectList open = connections_.children();
    qDeleteAll(open);
    if (listenFd_ < 0)
        return;
    delete listenNotifier_;
    listenNotifier_ = nullptr;
    ::close(listenFd_);
    listenFd_ = -1;
    LocalSocket::Remove(path_);
}

bool HandOffServer::isListening() const { return listenFd_ >= 0; }

void HandOffServer::acceptPending() {
    for (int fd; (fd = LocalSocket::Accept(listenFd_)) >= 0;) {
        if (!LocalSocket::PeerIsSameUser(fd)) {
            ::close(fd);
            continue;
        }
        auto* connection = new Connection(fd, this);
        QTimer::singleShot(kIdleTimeoutMs, connection, [connection] {
            if (!connection->done)
                connection->hangUp();
        });
    }
}

void HandOffServer::readFrom(Connection* connection) {
    if (connection->done) {
        // One record per connection; the rest is noise. A sender that hangs
        // up while waiting is not answered, its path still handled.
        if (!LocalSocket::ReadAvailable(connection->fd(), 4096))
            connection->hangUp();
        return;
    }
    QByteArray& buffer = connection->buffer;
    // Read no more than the record can hold, so a stream of junk never grows
    // the buffer past the cap.
    for (;;) {
        qsizetype goal = HandOffRecord::kHeaderSize;
        if (buffer.size() >= HandOffRecord::kHeaderSize) {
            const std::optional<qsizetype> total = HandOffRecord::totalSize(buffer);
            if (!total) {
                connection->hangUp();
                return;
            }
            goal = *total;
            if (buffer.size() == goal)
                break;
        }
        const std::optional<QByteArray> bytes = LocalSocket::ReadAvailable(connection->fd(), goal - buffer.size());
        if (!bytes) {
            connection->hangUp();  // the sender hung up before the whole record
            return;
        }
        if (bytes->isEmpty())
            return;  // the rest has not arrived yet
        buffer += *bytes;
    }
    connection->done = true;
    const std::optional<QString> path = HandOffRecord::parse(std::exchange(buffer, QByteArray()));
    if (!path) {
        connection->hangUp();
        return;
    }
    // Handled from a queued call: a dialog opened by the receiver runs its own
    // event loop, in which this connection may close and be deleted, so the
    // handling must not run inside the socket's own notification.
    pending_.append(Pending{QPointer<Connection>(connection), *path});
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
    try {
        if (receiver)
            receiver(next.path);
    } catch (...) {
        failure = std::current_exception();
    }
    // The sender is answered once the receiver is done, also when it threw,
    // unless it gave up or the server closed meanwhile.
    if (next.connection)
        next.connection->answer();
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
    return LocalSocket::SendAndAwaitAnswer(socketPath, HandOffRecord::build(path), kHandOffConnectTimeoutMs,
                                           answerTimeoutMs);
}
