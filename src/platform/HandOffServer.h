#pragma once
// The player's end of the hand-off: a local socket named after the main
// window's caption, "QRT Velmo Player", in the private runtime folder beside
// the instance lock. A second start connects, sends one HandOffRecord and
// waits; the player hands the path to its receiver on the GUI thread and
// answers once the receiver has returned, so the sender stays blocked for the
// whole handling, dialogs included. Hand-offs are handled one at a time: one
// that arrives while the receiver of an earlier one waits in a dialog is taken
// once that dialog has closed, its sender still waiting.
//
// Usage in the player (lock already acquired):
//     HandOffServer server([&](const QString& path) { form->WMCopyData(path); });
//     server.listen(lock);
// and in a messenger:
//     SendHandOff(argument1);

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class InstanceLock;
class QSocketNotifier;

class HandOffServer : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "QRT Velmo Player";
    // A connection that has not delivered a whole record by then is dropped.
    static constexpr int kIdleTimeoutMs = 10000;

    // Called on the GUI thread with each valid path, one at a time, from a
    // queued call (never from inside a socket's signal). It may open dialogs;
    // the sender waits until it returns. A path whose sender died meanwhile is
    // still handled: the user asked for it. An
    // exception it throws is raised again from a queued call after the
    // sender was answered, so the application's error report shows it.
    using Receiver = std::function<void(const QString& path)>;

    explicit HandOffServer(Receiver receiver, QObject* parent = nullptr);
    ~HandOffServer() override;

    // The socket path for a lock folder.
    static QString socketPath(const QString& folder);

    // Starts listening. Only the holder of the instance lock may do so: it
    // alone removes a socket left by a player that died. Returns false when
    // the lock is not held or the socket cannot be made.
    bool listen(const InstanceLock& lock);
    void close();
    bool isListening() const;

private:
    class Connection;  // one sender's socket

    void acceptPending();
    void readFrom(Connection* connection);
    void handleNext();

    // A whole record waiting for the receiver, and who to answer.
    struct Pending {
        QPointer<Connection> connection;
        QString path;
    };

    Receiver receiver_;
    int listenFd_ = -1;
    QString path_;  // of the socket file while listening
    QSocketNotifier* listenNotifier_ = nullptr;
    QObject connections_;  // parent of the open connections
    QList<Pending> pending_;
    bool handling_ = false;  // the receiver runs (perhaps in a dialog)
};

// Sends path to the running player and waits until it has handled it.
// Returns true when the player answered; false when no player listens, the
// connection broke, or no answer came within answerTimeoutMs. Shows nothing.
// Blocks the calling thread; a messenger calls it once a QCoreApplication exists.
constexpr int kHandOffConnectTimeoutMs = 2000;
constexpr int kHandOffAnswerTimeoutMs = 60000;
bool SendHandOff(const QString& path);
bool SendHandOff(const QString& socketPath, const QString& path,
                 int answerTimeoutMs = kHandOffAnswerTimeoutMs);
