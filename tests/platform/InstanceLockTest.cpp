#include "platform/InstanceLock.h"
#include "platform/RuntimeFolder.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

// Runs "probe lock <folder>" and returns what it printed first.
QString probeLock(const QString& folder) {
    QProcess probe;
    probe.start(VELMO_PLATFORM_PROBE, {"lock", folder});
    probe.closeWriteChannel();  // a probe that gets the lock lets go at once
    EXPECT_TRUE(probe.waitForFinished(10000));
    return QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

}  // namespace

TEST(InstanceLock, SecondProcessFindsTheLockTaken) {
    QTemporaryDir folder;
    InstanceLock lock(folder.path());
    ASSERT_EQ(lock.acquire(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(QFile::exists(folder.path() + "/MyUniquePlayerMutexName"));
    EXPECT_EQ(probeLock(folder.path()), "AlreadyExists");
    lock.release();
    EXPECT_EQ(probeLock(folder.path()), "Acquired");
}

TEST(InstanceLock, ASecondLockInTheSameProcessIsAlsoRefused) {
    // flock belongs to the open file, so even this process cannot take it twice.
    QTemporaryDir folder;
    InstanceLock first(folder.path());
    InstanceLock second(folder.path());
    ASSERT_EQ(first.acquire(), InstanceLock::Result::Acquired);
    EXPECT_EQ(second.acquire(), InstanceLock::Result::AlreadyExists);
    EXPECT_FALSE(second.held());
}

TEST(InstanceLock, APlayerKilledHardFreesTheLock) {
    QTemporaryDir folder;
    QProcess holder;
    holder.start(VELMO_PLATFORM_PROBE, {"lock", folder.path()});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(QString::fromUtf8(holder.readLine()).trimmed(), "Acquired");

    InstanceLock lock(folder.path());
    EXPECT_EQ(lock.acquire(), InstanceLock::Result::AlreadyExists);
    holder.kill();  // SIGKILL: no chance to clean up
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_EQ(lock.acquire(), InstanceLock::Result::Acquired);
}

TEST(InstanceLock, NoFolderMeansNoLock) {
    InstanceLock lock{QString()};
    EXPECT_EQ(lock.acquire(), InstanceLock::Result::Unavailable);
    InstanceLock missing(QDir::tempPath() + "/velmo-no-such-folder/deeper");
    EXPECT_EQ(missing.acquire(), InstanceLock::Result::Unavailable);
}

TEST(RuntimeFolder, IsMadePrivateBelowXdgRuntimeDir) {
    const QString folder = RuntimeFolder();
    EXPECT_EQ(folder, TestEnv::root() + "/runtime/VelmoPlayer");
    EXPECT_EQ(modeOf(folder), mode_t(0700));

    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                      | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther);
    EXPECT_EQ(RuntimeFolder(), folder);
    EXPECT_EQ(modeOf(folder), mode_t(0700)) << "a widened folder is narrowed again";
}

TEST(RuntimeFolder, RefusesASymbolicLinkInItsPlace) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir runtime, elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), runtime.path() + "/VelmoPlayer"));
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(RuntimeFolder(), QString());
    qputenv("XDG_RUNTIME_DIR", saved);
}
