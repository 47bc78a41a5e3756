#include "platform/AppError.h"
#include "platform/HandOffRecord.h"
#include "platform/HandOffServer.h"
#include "platform/InstanceLock.h"

#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A player's side in this process: lock and server in a private folder.
struct Player {
    QTemporaryDir folder;
    InstanceLock lock{folder.path()};
    QStringList received;
    HandOffServer server{[this](const QString& p) { received << p; }};

    bool start() { return lock.acquire() == InstanceLock::Result::Acquired && server.listen(lock); }
    QString socket() const { return HandOffServer::socketPath(folder.path()); }
};

// Connects, writes the bytes and waits (running the event loop, so the
// server in this process can work) until the server closes or answers.
struct RawClient {
    QLocalSocket socket;
    QByteArray answer;

    bool send(const QString& path, const QByteArray& bytes, int waitMs = 5000) {
        socket.connectToServer(path);
        if (!socket.waitForConnected(2000))
            return false;
        socket.write(bytes);
        socket.flush();
        QElapsedTimer t;
        t.start();
        while (socket.state() == QLocalSocket::ConnectedState && answer.isEmpty() && t.elapsed() < waitMs) {
            QTest::qWait(5);
            answer += socket.readAll();
        }
        answer += socket.readAll();
        return true;
    }
};

QByteArray header(quint32 cbData) {
    QByteArray h(HandOffRecord::kHeaderSize, '\0');
    qToLittleEndian<quint32>(cbData, h.data() + 8);
    return h;
}

}  // namespace

TEST(HandOffServer, DeliversThePathAndAnswersAfterTheReceiverReturned) {
    QTemporaryDir folder;
    InstanceLock lock(folder.path());
    ASSERT_EQ(lock.acquire(), InstanceLock::Result::Acquired);
    RawClient client;
    bool answeredDuringReceiver = true;
    HandOffServer server([&](const QString&) {
        QTest::qWait(50);  // the client must still be waiting here
        answeredDuringReceiver = client.socket.bytesAvailable() > 0 || !client.answer.isEmpty();
    });
    ASSERT_TRUE(server.listen(lock));

    const QString path = QStringLiteral("/home/я/My Music/трек 1.mp3");
    ASSERT_TRUE(client.send(HandOffServer::socketPath(folder.path()), HandOffRecord::build(path)));
    EXPECT_FALSE(answeredDuringReceiver);
    EXPECT_EQ(client.answer, QByteArray(1, '\0'));
}

TEST(HandOffServer, SenderIsAnsweredAlsoWhenTheReceiverFails) {
    QTemporaryDir folder;
    InstanceLock lock(folder.path());
    ASSERT_EQ(lock.acquire(), InstanceLock::Result::Acquired);
    HandOffServer server([](const QString& path) { throw AppError("Cannot load " + path); });
    ASSERT_TRUE(server.listen(lock));
    ScriptedPrompts prompts;
    RawClient client;
    ASSERT_TRUE(client.send(HandOffServer::socketPath(folder.path()), HandOffRecord::build("/bad.mp3")));
    EXPECT_EQ(client.answer.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(prompts.texts(), QStringList{"Cannot load /bad.mp3"}, 2000);
}

TEST(HandOffServer, RecordArrivingInPiecesIsAssembled) {
    Player player;
    ASSERT_TRUE(player.start());
    QByteArray rest = HandOffRecord::build("/music/a.ogg");
    QLocalSocket socket;
    socket.connectToServer(player.socket());
    ASSERT_TRUE(socket.waitForConnected(2000));
    for (qsizetype cut : {5, 11, 4}) {  // inside the header, across its end, inside the text
        socket.write(rest.left(cut));
        socket.flush();
        rest = rest.mid(cut);
        QTest::qWait(20);
        EXPECT_TRUE(player.received.isEmpty());
    }
    socket.write(rest);
    socket.flush();
    QTRY_COMPARE_WITH_TIMEOUT(player.received, QStringList{"/music/a.ogg"}, 3000);
}

TEST(HandOffServer, MalformedRecordsAreDroppedAndTheServerKeepsWorking) {
    Player player;
    ASSERT_TRUE(player.start());
    struct Row {
        const char* name;
        QByteArray bytes;
        bool serverHangsUp;  // else the server waits for the rest until the sender gives up
    };
    const Row rows[] = {
        {"short header", header(8).left(10), false},
        {"odd byte count", header(7) + QByteArray(7, 'a'), true},
        {"zero byte count", header(0), true},
        {"byte count above the cap", header(HandOffRecord::kMaxDataSize + 2) + QByteArray(4096, 'a'), true},
        {"block ends before byte count", header(100) + QByteArray(10, 'a'), false},
        {"empty text", header(2) + QByteArray(2, '\0'), true},
    };
    for (const Row& row : rows) {
        RawClient client;
        ASSERT_TRUE(client.send(player.socket(), row.bytes, 300)) << row.name;
        EXPECT_EQ(client.socket.state() == QLocalSocket::UnconnectedState, row.serverHangsUp) << row.name;
        client.socket.abort();
        QTest::qWait(20);
        EXPECT_TRUE(client.answer.isEmpty()) << row.name;
    }
    EXPECT_TRUE(player.received.isEmpty());

    RawClient good;
    ASSERT_TRUE(good.send(player.socket(), HandOffRecord::build("/ok.wav")));
    EXPECT_EQ(player.received, QStringList{"/ok.wav"});
    EXPECT_EQ(good.answer.size(), 1);
}

TEST(HandOffServer, OnlyTheLockHolderListens) {
    Player player;
    ASSERT_TRUE(player.start());
    InstanceLock second(player.folder.path());
    EXPECT_EQ(second.acquire(), InstanceLock::Result::AlreadyExists);
    HandOffServer intruder([](const QString&) {});
    EXPECT_FALSE(intruder.listen(second));
    // The live socket was left alone.
    RawClient client;
    ASSERT_TRUE(client.send(player.socket(), HandOffRecord::build("/still.mp3")));
    EXPECT_EQ(player.received, QStringList{"/still.mp3"});
}

TEST(HandOffServer, OnlyTheUserMayUseTheSocket) {
    Player player;
    ASSERT_TRUE(player.start());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(player.socket()).constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0077, 0u) << "group or others may connect";
    player.server.close();
    EXPECT_FALSE(QFile::exists(player.socket())) << "a closed server leaves its socket behind";
}

TEST(HandOffServer, StaleSocketOfAKilledPlayerIsReclaimed) {
    QTemporaryDir folder;
    const QString socketPath = HandOffServer::socketPath(folder.path());
    QProcess dead;
    dead.start(VELMO_PLATFORM_PROBE, {"serve", folder.path()});
    ASSERT_TRUE(dead.waitForReadyRead(10000));
    ASSERT_EQ(dead.readLine().trimmed(), "listening");
    dead.kill();
    ASSERT_TRUE(dead.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(socketPath)) << "a killed server leaves its socket behind";

    // A messenger meeting the stale socket gives up at once.
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(SendHandOff(socketPath, "/x.mp3"));
    EXPECT_LT(t.elapsed(), 1000);

    // The next player takes the lock and the socket over; a messenger in
    // another process blocks until the path has been handled.
    InstanceLock lock(folder.path());
    ASSERT_EQ(lock.acquire(), InstanceLock::Result::Acquired);
    QProcess messenger;
    bool messengerWaited = false;
    QStringList received;
    HandOffServer server([&](const QString& p) {
        received << p;
        QTest::qWait(200);
        messengerWaited = messenger.state() == QProcess::Running;
    });
    ASSERT_TRUE(server.listen(lock));
    const QString path = QStringLiteral("/tmp/Ünïcödé dir/песня №1.flac");
    messenger.start(VELMO_PLATFORM_PROBE, {"send", socketPath, path});
    QTRY_VERIFY_WITH_TIMEOUT(messenger.state() == QProcess::NotRunning, 10000);
    EXPECT_EQ(messenger.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(messenger.exitCode(), 0);
    EXPECT_EQ(received, QStringList{path});
    EXPECT_TRUE(messengerWaited);
}

TEST(HandOffServer, MessengerReachesAPlayerInAnotherProcess) {
    QTemporaryDir folder;
    QProcess player;
    player.start(VELMO_PLATFORM_PROBE, {"serve", folder.path()});
    ASSERT_TRUE(player.waitForReadyRead(10000));
    ASSERT_EQ(player.readLine().trimmed(), "listening");

    const QString socketPath = HandOffServer::socketPath(folder.path());
    EXPECT_TRUE(SendHandOff(socketPath, "/first.mp3"));
    EXPECT_TRUE(SendHandOff(socketPath, QStringLiteral("/второй.m4a")));
    QTRY_VERIFY_WITH_TIMEOUT(player.bytesAvailable() > 0 && player.canReadLine(), 3000);
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (out.count('\n') < 2 && t.elapsed() < 3000) {
        player.waitForReadyRead(100);
        out += player.readAll();
    }
    EXPECT_EQ(QString::fromUtf8(out), QStringLiteral("got:/first.mp3\ngot:/второй.m4a\n"));
    player.kill();
    player.waitForFinished(5000);
}

TEST(HandOffServer, AnotherUsersMessageIsRefused) {
    // The private folder keeps other users out already; this opens the folder
    // and the socket to check the second guard, the peer's user id.
    if (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "needs root to speak as another user";
    QTemporaryDir base;
    const QString folder = base.path() + "/open";
    QDir().mkpath(folder);
    InstanceLock lock(folder);
    ASSERT_EQ(lock.acquire(), InstanceLock::Result::Acquired);
    QStringList received;
    HandOffServer server([&](const QString& p) { received << p; });
    ASSERT_TRUE(server.listen(lock));
    const QString socketPath = HandOffServer::socketPath(folder);
    for (const QString& p : {base.path(), folder, socketPath})
        ::chmod(QFile::encodeName(p).constData(), 0777);

    QProcess stranger;
    stranger.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", VELMO_PLATFORM_PROBE,
                               "send", socketPath, "/from/a/stranger.mp3"});
    QTRY_VERIFY_WITH_TIMEOUT(stranger.state() == QProcess::NotRunning, 10000);
    EXPECT_EQ(stranger.exitCode(), 1) << stranger.readAllStandardError().toStdString();
    EXPECT_TRUE(received.isEmpty());
}

TEST(HandOffServer, NoPlayerMeansTheMessengerGivesUp) {
    QTemporaryDir folder;
    EXPECT_FALSE(SendHandOff(HandOffServer::socketPath(folder.path()), "/a.mp3"));
}

// While the receiver of one hand-off waits in a modal dialog (a nested event
// loop), senders die, empty and junk connections come and go, later hand-offs
// arrive or the server closes. Whatever the order, the player survives, takes
// the hand-offs one at a time in their order and answers every sender still
// waiting.
TEST(HandOffServer, EventsDuringAReceiversDialogLeaveTheServerSound) {
    enum class Step { KillFirst, EmptyConnection, JunkBytes, SecondSends, KillSecond, ThirdSends, CloseServer };
    struct Row {
        const char* name;
        std::vector<Step> duringFirstDialog;
        QStringList handled;
        bool firstAnswered, secondAnswered;
    };
    using S = Step;
    const Row rows[] = {
        {"first sender killed, then an empty connection", {S::KillFirst, S::EmptyConnection},
         {"/first"}, false, false},
        {"junk bytes, then the first sender killed", {S::JunkBytes, S::KillFirst}, {"/first"}, false, false},
        {"a second hand-off waits for the first", {S::SecondSends}, {"/first", "/second"}, true, true},
        {"both senders killed while the first dialog is open",
         {S::SecondSends, S::KillFirst, S::KillSecond, S::EmptyConnection}, {"/first", "/second"}, false, false},
        {"second killed, first still waiting", {S::SecondSends, S::KillSecond, S::JunkBytes},
         {"/first", "/second"}, true, false},
        {"two more hand-offs keep their order", {S::SecondSends, S::ThirdSends, S::KillFirst},
         {"/first", "/second", "/third"}, false, true},
        {"server closed under the dialog", {S::SecondSends, S::CloseServer}, {"/first"}, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir folder;
        InstanceLock lock(folder.path());
        ASSERT_EQ(lock.acquire(), InstanceLock::Result::Acquired);
        const QString socketPath = HandOffServer::socketPath(folder.path());
        std::vector<std::unique_ptr<QLocalSocket>> sockets;
        auto open = [&](const QByteArray& bytes) {
            sockets.push_back(std::make_unique<QLocalSocket>());
            QLocalSocket* s = sockets.back().get();
            s->connectToServer(socketPath);
            EXPECT_TRUE(s->waitForConnected(2000));
            s->write(bytes);
            s->flush();
            return s;
        };
        QLocalSocket* first = nullptr;
        QLocalSocket* second = nullptr;
        QStringList handled;
        std::unique_ptr<HandOffServer> server;
        auto run = [&](Step step) {
            switch (step) {
            case S::KillFirst: first->abort(); break;
            case S::KillSecond: second->abort(); break;
            case S::EmptyConnection: open({})->abort(); break;
            case S::JunkBytes: open("\x01\x02junk")->disconnectFromServer(); break;
            case S::SecondSends: second = open(HandOffRecord::build("/second")); break;
            case S::ThirdSends: open(HandOffRecord::build("/third")); break;
            case S::CloseServer: server->close(); break;
            }
            QTest::qWait(30);
        };
        int depth = 0;    // receivers running, one inside another's dialog
        int deepest = 0;
        server = std::make_unique<HandOffServer>([&](const QString& path) {
            deepest = std::max(deepest, ++depth);
            handled << path;
            QEventLoop dialog;  // what a modal dialog runs until the user closes it
            QTimer::singleShot(0, &dialog, [&] {
                if (path == "/first")
                    for (Step step : row.duringFirstDialog)
                        run(step);
                dialog.quit();
            });
            dialog.exec();
            --depth;
        });
        ASSERT_TRUE(server->listen(lock));
        first = open(HandOffRecord::build("/first"));
        QTRY_COMPARE_WITH_TIMEOUT(handled, row.handled, 5000);
        QTest::qWait(50);
        EXPECT_EQ(handled, row.handled);
        EXPECT_EQ(deepest, 1) << "a hand-off was handled inside another one's dialog";
        for (auto [socket, answered] : {std::pair{first, row.firstAnswered}, std::pair{second, row.secondAnswered}})
            if (socket) {
                EXPECT_EQ(socket->readAll(), answered ? QByteArray(1, '\0') : QByteArray());
            }
        if (server->isListening()) {
            RawClient after;
            ASSERT_TRUE(after.send(socketPath, HandOffRecord::build("/after")));
            EXPECT_EQ(after.answer.size(), 1);
            EXPECT_EQ(handled.last(), "/after");
        }
    }
}
