// The single-instance rule with the real program: a second start hands its
// file to the running player, which loads and plays it.

#include "TestEnv.h"
#include "TestWav.h"

#include <gtest/gtest.h>

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <csignal>

namespace {

void WriteWav(const QString& path, double seconds) {
    ASSERT_TRUE(WriteTestWav(path, seconds, 44100, 1, [](int i) { return static_cast<qint16>(8000 * std::sin(2 * M_PI * 440.0 * i / 44100)); }));
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// The files a process holds open, from /proc.
QStringList OpenFiles(qint64 pid) {
    QStringList files;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::NoDotAndDotDot | QDir::System | QDir::Files))
        files << fd.symLinkTarget();
    return files;
}

class HandOff : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("SDL_AUDIODRIVER", "dummy");
        socketPath = runtime.path() + "/VelmoPlayer/QRT Velmo Player";
    }
    void TearDown() override {
        for (QProcess* p : players) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
    }

    QProcess* StartPlayer(const QStringList& args = {}) {
        auto* p = new QProcess;
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(TestEnv::playerBinary(), args);
        players << p;
        return p;
    }

    // Starts a second process and returns its exit code (-1 when it hangs).
    int RunMessenger(const QStringList& args, qint64* elapsedMs = nullptr, const QString& workingFolder = {}) {
        QProcess p;
        p.setProcessEnvironment(env);
        if (!workingFolder.isEmpty())
            p.setWorkingDirectory(workingFolder);
        QElapsedTimer timer;
        timer.start();
        p.start(TestEnv::playerBinary(), args);
        if (!p.waitForFinished(15000)) {
            p.kill();
            return -1;
        }
        if (elapsedMs)
            *elapsedMs = timer.elapsed();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    bool Listening() const { return QFileInfo::exists(socketPath); }

    QTemporaryDir runtime;
    QTemporaryDir files;
    QProcessEnvironment env;
    QString socketPath;
    QList<QProcess*> players;
};

TEST_F(HandOff, SecondStartHandsItsFileToThePlayer) {
    QProcess* player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return Listening(); }));

    const QString folder = files.path() + QString::fromUtf8("/Müsik Ωmega");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString song = folder + QString::fromUtf8("/тест файл.wav");
    WriteWav(song, 30.0);
    EXPECT_EQ(RunMessenger({song}), 0);
    EXPECT_TRUE(WaitFor([&] { return OpenFiles(player->processId()).contains(song); }, 3000));

    // No argument: exits at once and changes nothing.
    qint64 elapsed = 0;
    EXPECT_EQ(RunMessenger({}, &elapsed), 0);
    EXPECT_LT(elapsed, 3000);
    EXPECT_EQ(player->state(), QProcess::Running);
    EXPECT_TRUE(OpenFiles(player->processId()).contains(song));
}

TEST_F(HandOff, ARelativePathIsResolvedWhereTheSecondStartRuns) {
    QProcess* player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return Listening(); }));

    const QString song = files.path() + "/here.wav";
    WriteWav(song, 30.0);
    EXPECT_EQ(RunMessenger({"here.wav"}, nullptr, files.path()), 0);
    EXPECT_TRUE(WaitFor([&] { return OpenFiles(player->processId()).contains(song); }, 3000));
}

TEST_F(HandOff, MalformedRecordsAreIgnored) {
    QProcess* player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return Listening(); }));
    auto header = [](quint32 cbData) {
        QByteArray h(16, '\0');
        for (int i = 0; i < 4; ++i)
            h[8 + i] = static_cast<char>((cbData >> (8 * i)) & 0xFF);
        return h;
    };
    const QByteArray records[] = {
        QByteArray("junk"),
        header(7) + QByteArray(7, 'a'),           // odd size
        header(64) + QByteArray(10, 'a'),         // shorter than announced
        header(0),                                // empty
        header(0x7FFFFFFF) + QByteArray(32, 'b'), // absurd size
        header(4) + QByteArray("\0\0\0\0", 4),    // empty path
    };
    for (const QByteArray& record : records) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        ASSERT_TRUE(socket.waitForConnected(3000));
        socket.write(record);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
    QThread::msleep(300);
    EXPECT_EQ(player->state(), QProcess::Running);
    const QString song = files.path() + "/after.wav";
    WriteWav(song, 30.0);
    EXPECT_EQ(RunMessenger({song}), 0);
    EXPECT_TRUE(WaitFor([&] { return OpenFiles(player->processId()).contains(song); }, 3000));
}

TEST_F(HandOff, AKilledPlayerFreesTheLockForTheNextStart) {
    QProcess* first = StartPlayer();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return Listening(); }));
    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    ASSERT_TRUE(first->waitForFinished(5000));

    const QString song = files.path() + "/next.wav";
    WriteWav(song, 30.0);
    QProcess* second = StartPlayer({song});
    ASSERT_TRUE(second->waitForStarted());
    // The new start becomes the player and opens its own argument.
    EXPECT_TRUE(WaitFor([&] { return OpenFiles(second->processId()).contains(song); }));
    EXPECT_EQ(second->state(), QProcess::Running);
}

}  // namespace
