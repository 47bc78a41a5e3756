// Hand-off safety against the real player binary: its private folder, a
// socket and lock left by a dead player, a stranger's hand-off, malformed
// records, and a burst of hand-offs. What the player handled is read from
// the audio file it holds open (/proc/<pid>/fd).
#include "TestEnv.h"
#include "platform/HandOffRecord.h"
#include "platform/HandOffServer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtEndian>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <memory>
#include <vector>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// VELMO_PLAYER_UNDER_TEST points the tests at another build of the player.
QString playerBinary() {
    const QString other = qEnvironmentVariable("VELMO_PLAYER_UNDER_TEST");
    return other.isEmpty() ? TestEnv::playerBinary() : other;
}

class PlayerProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        for (const char* sub : {"run", "config", "data", "home", "music"})
            QDir().mkpath(temp_.filePath(sub));
        QFile::setPermissions(temp_.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("XDG_RUNTIME_DIR", temp_.filePath("run"));
        env_.insert("XDG_CONFIG_HOME", temp_.filePath("config"));
        env_.insert("XDG_DATA_HOME", temp_.filePath("data"));
        env_.insert("HOME", temp_.filePath("home"));
        env_.insert("QT_QPA_PLATFORM", "offscreen");
        env_.insert("SDL_AUDIODRIVER", "dummy");
    }

    void TearDown() override {
        if (player_.state() != QProcess::NotRunning) {
            player_.kill();
            player_.waitForFinished(5000);
        }
    }

    QString folder() const { return temp_.filePath("run") + "/VelmoPlayer"; }
    QString socket() const { return HandOffServer::socketPath(folder()); }

    // Starts the player and waits until it takes hand-offs.
    bool startPlayer() {
        player_.setProcessEnvironment(env_);
        player_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        player_.start(playerBinary(), {});
        if (!player_.waitForStarted(10000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000 && player_.state() == QProcess::Running) {
            QLocalSocket probe;
            probe.connectToServer(socket());
            if (probe.waitForConnected(500))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    bool running() const { return player_.state() == QProcess::Running; }

    // The regular files the player holds open (the audio file it plays).
    QStringList openFiles() const {
        QStringList files;
        const QString fds = QStringLiteral("/proc/%1/fd").arg(player_.processId());
        for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            const QString target = fd.symLinkTarget();
            if (target.startsWith(temp_.filePath("music")))
                files << target;
        }
        // The waveform's worker may read the loaded file through a second
        // descriptor; what matters is which files are open.
        files.removeDuplicates();
        return files;
    }

    // The player's descriptor count once it has stayed the same for a second:
    // work a load leaves in the background (the recent files list) is done.
    int settledPlayerDescriptors() const {
        int count = playerDescriptors(), sameFor = 0;
        QElapsedTimer clock;
        clock.start();
        while (sameFor < 10 && clock.elapsed() < 10000) {
            QThread::msleep(100);
            const int now = playerDescriptors();
            sameFor = now == count ? sameFor + 1 : 0;
            count = now;
        }
        return count;
    }

    int playerDescriptors() const {
        return int(QDir(QStringLiteral("/proc/%1/fd").arg(player_.processId()))
                       .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                       .size());
    }

    QString song(int index) {
        const QString path = temp_.filePath(QStringLiteral("music/song %1.wav").arg(index));
        if (!QFileInfo::exists(path))
            QFile::copy(TestEnv::fixture("short-0.3s.wav"), path);
        return path;
    }

    // Sends raw bytes on one connection and waits until the player drops it
    // or timeoutMs passes.
    void sendRaw(const QByteArray& bytes, int timeoutMs) {
        QLocalSocket connection;
        connection.connectToServer(socket());
        ASSERT_TRUE(connection.waitForConnected(5000));
        connection.write(bytes);
        connection.waitForBytesWritten(5000);
        QElapsedTimer clock;
        clock.start();
        while (connection.state() == QLocalSocket::ConnectedState && clock.elapsed() < timeoutMs)
            connection.waitForReadyRead(100);
    }

    QTemporaryDir temp_{TestEnv::root() + "/playerXXXXXX"};
    QProcessEnvironment env_;
    QProcess player_;
};

TEST_F(PlayerProcess, FolderIsPrivateToTheUser) {
    ASSERT_TRUE(startPlayer());
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder()).constData(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(info.st_uid, ::getuid());
}

TEST_F(PlayerProcess, SocketAndLockLeftByADeadPlayerAreReclaimed) {
    // A socket nobody listens on and an unlocked lock file, as a crash leaves them.
    QDir().mkpath(folder());
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile(folder() + "/MyUniquePlayerMutexName").open(QIODevice::WriteOnly);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(socket());
    std::strncpy(address.sun_path, name.constData(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);

    ASSERT_TRUE(startPlayer());
    ASSERT_TRUE(SendHandOff(socket(), song(1), 30000));
    EXPECT_EQ(openFiles(), QStringList{song(1)});

    // Killed outright, it leaves both behind again; the next start copes.
    player_.kill();
    player_.waitForFinished(5000);
    ASSERT_TRUE(QFileInfo::exists(socket()));
    ASSERT_TRUE(startPlayer());
    EXPECT_TRUE(SendHandOff(socket(), song(2), 30000));
    EXPECT_EQ(openFiles(), QStringList{song(2)});
}

TEST_F(PlayerProcess, AnotherUserCannotHandAFileOver) {
    if (::getuid() != 0)
        GTEST_SKIP() << "switching to another user needs root";
    if (QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "setpriv is not installed";
    ASSERT_TRUE(startPlayer());
    const QString path = song(1);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther);

    // This test binary, as nobody, tries the hand-off (HandOffAsChild below).
    QProcess stranger;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELMO_HANDOFF_CHILD_SOCKET", socket());
    env.insert("VELMO_HANDOFF_CHILD_PATH", path);
    env.insert("TMPDIR", "/tmp");
    stranger.setProcessEnvironment(env);
    stranger.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                               QCoreApplication::applicationFilePath(),
                               "--gtest_filter=HandOffAsChild.Sends"});
    ASSERT_TRUE(stranger.waitForFinished(60000));
    const QString output = QString::fromUtf8(stranger.readAll());
    ASSERT_TRUE(output.contains("HandOffAsChild.Sends")) << output.toStdString();
    EXPECT_TRUE(output.contains("refused")) << output.toStdString();
    EXPECT_TRUE(running());
    EXPECT_TRUE(openFiles().isEmpty());
}

// The stranger's side; does nothing in a normal run.
TEST(HandOffAsChild, Sends) {
    const QString socket = qEnvironmentVariable("VELMO_HANDOFF_CHILD_SOCKET");
    if (socket.isEmpty())
        GTEST_SKIP() << "runs only as the child of the other-user test";
    const bool answered = SendHandOff(socket, qEnvironmentVariable("VELMO_HANDOFF_CHILD_PATH"), 5000);
    std::printf("%s\n", answered ? "answered" : "refused");
}

TEST_F(PlayerProcess, MalformedRecordsAreIgnored) {
    ASSERT_TRUE(startPlayer());
    const QByteArray good = HandOffRecord::build(song(1));
    auto withSize = [&](quint32 cbData) {
        QByteArray record = good;
        const quint32 le = qToLittleEndian(cbData);
        std::memcpy(record.data() + 8, &le, 4);
        return record;
    };
    QByteArray noNul = good;
    noNul.chop(2);
    noNul = withSize(quint32(noNul.size() - HandOffRecord::kHeaderSize)).left(noNul.size());
    QByteArray garbage(1024 * 1024, Qt::Uninitialized);
    for (char& c : garbage)
        c = char(QRandomGenerator::global()->generate());

    const struct {
        const char* name;
        QByteArray bytes;
    } records[] = {
        {"short header", good.left(10)},
        {"cbData larger than the data", withSize(quint32(good.size()))},
        {"odd byte count", withSize(quint32(good.size() - HandOffRecord::kHeaderSize - 1)).left(good.size() - 1)},
        {"no NUL", noNul},
        {"empty path", HandOffRecord::build(QString())},
        {"1 MB of garbage", garbage},
        {"garbage after a record", good + garbage.left(1000)},
    };
    for (const auto& record : records) {
        SCOPED_TRACE(record.name);
        sendRaw(record.bytes, 2000);
        ASSERT_TRUE(running());
    }
    // The last record was whole; whatever followed it was not taken as a path.
    EXPECT_TRUE(openFiles().isEmpty() || openFiles() == QStringList{song(1)});

    // The player still takes a good hand-off.
    ASSERT_TRUE(SendHandOff(socket(), song(2), 30000));
    EXPECT_EQ(openFiles(), QStringList{song(2)});
}

// Senders that connect and then stall (nothing, or half a header) hold no
// hand-off up and are dropped after the idle time; none of them leaves a
// descriptor behind in the player.
TEST_F(PlayerProcess, FloodOfStalledConnectionsIsDroppedAndLeavesNothingBehind) {
    ASSERT_TRUE(startPlayer());
    ASSERT_TRUE(SendHandOff(socket(), song(0), 30000));
    const int baseline = settledPlayerDescriptors();

    constexpr int kStalled = 150;
    std::vector<std::unique_ptr<QLocalSocket>> stalled;
    for (int i = 0; i < kStalled; ++i) {
        auto connection = std::make_unique<QLocalSocket>();
        connection->connectToServer(socket());
        ASSERT_TRUE(connection->waitForConnected(5000)) << "connection " << i;
        if (i % 2)
            connection->write(HandOffRecord::build(song(1)).left(HandOffRecord::kHeaderSize / 2));
        connection->waitForBytesWritten(1000);
        stalled.push_back(std::move(connection));
    }
    // A real hand-off goes through while all of them wait.
    QElapsedTimer answered;
    answered.start();
    ASSERT_TRUE(SendHandOff(socket(), song(2), 30000));
    EXPECT_LT(answered.elapsed(), 5000);
    EXPECT_EQ(openFiles(), QStringList{song(2)});

    // The player hangs up on every stalled sender after its idle time.
    QElapsedTimer clock;
    clock.start();
    int open = kStalled;
    while (open > 0 && clock.elapsed() < HandOffServer::kIdleTimeoutMs + 10000) {
        open = 0;
        for (auto& connection : stalled) {
            connection->waitForReadyRead(0);
            open += connection->state() == QLocalSocket::ConnectedState ? 1 : 0;
        }
        QThread::msleep(100);
    }
    EXPECT_EQ(open, 0) << "stalled connections still open after the idle time";
    stalled.clear();
    clock.restart();
    while (playerDescriptors() > baseline && clock.elapsed() < 5000)
        QThread::msleep(50);
    EXPECT_LE(playerDescriptors(), baseline);
    EXPECT_TRUE(running());
}

TEST_F(PlayerProcess, BurstOfHandOffsIsHandledInOrder) {
    constexpr int kCount = 200;
    QStringList songs;
    for (int i = 0; i < kCount; ++i)
        songs << song(i);
    ASSERT_TRUE(startPlayer());
    int lost = 0, outOfOrder = 0;
    for (int i = 0; i < kCount; ++i) {
        if (!SendHandOff(socket(), songs[i], 30000)) {
            ++lost;
            continue;
        }
        // The answer comes after the player handled it: it now plays this file.
        if (openFiles() != QStringList{songs[i]})
            ++outOfOrder;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(outOfOrder, 0);
    EXPECT_TRUE(running());
}

}  // namespace
