// Saving into a folder that cannot take the file, onto a full file system,
// and a save killed half way: the old file stays whole, the save reports the
// message the user sees, and the same save succeeds once the fault is gone.
#include "FileFaults.h"
#include "TestEnv.h"
#include "platform/AppError.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QCoreApplication>
#include <csignal>
#include <unistd.h>

namespace {

class SaveFault : public ::testing::TestWithParam<SavedFileKind> {
protected:
    QString fileIn(const QString& folder) const { return folder + "/saved." + GetParam().name; }

    // Runs the save and returns the message it failed with ("" when it did not).
    QString failedSave(const QString& path, int generation) const {
        try {
            GetParam().write(path, generation, false);
        } catch (const AppError& error) {
            return error.message();
        }
        return QString();
    }

    QTemporaryDir temp_{TestEnv::root() + "/faultXXXXXX"};
};

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

TEST_P(SaveFault, FolderThatIsARegularFileReportsTheError) {
    // Works even as root, where permission bits do not stop a write.
    const QString notAFolder = temp_.path() + "/plain";
    ASSERT_TRUE(QFile(notAFolder).open(QIODevice::WriteOnly));
    const QString path = fileIn(notAFolder);
    const QString message = failedSave(path, 1);
    EXPECT_TRUE(GetParam().isFailureMessage(message, path)) << message.toStdString();
    EXPECT_EQ(QFileInfo(notAFolder).size(), 0);
}

TEST_P(SaveFault, ReadOnlyFileSystemKeepsTheOldFile) {
    TmpfsMount mount(temp_.path() + "/ro", QStringLiteral("size=1m"));
    if (!mount.ok())
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    const QString path = fileIn(mount.folder());
    if (GetParam().replacesOldFile) {
        ASSERT_EQ(failedSave(path, 1), QString());
    }
    const QByteArray old = ReadAll(path);
    const QStringList before = entriesOf(mount.folder());
    ASSERT_TRUE(mount.remount(QStringLiteral("ro")));

    const QString message = failedSave(path, 2);
    EXPECT_TRUE(GetParam().isFailureMessage(message, path)) << message.toStdString();
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(entriesOf(mount.folder()), before);

    // The user retries once the folder is writable again.
    ASSERT_TRUE(mount.remount(QStringLiteral("rw")));
    EXPECT_EQ(failedSave(path, 2), QString());
    EXPECT_NE(ReadAll(path), old);
}

TEST_P(SaveFault, FullFileSystemKeepsTheOldFileAndLeavesNoTemporary) {
    TmpfsMount mount(temp_.path() + "/full", QStringLiteral("size=64k"));
    if (!mount.ok())
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    const QString path = fileIn(mount.folder());
    if (GetParam().replacesOldFile) {
        ASSERT_EQ(failedSave(path, 1), QString());
    }
    const QByteArray old = ReadAll(path);

    // Take every remaining block.
    const QString filler = mount.folder() + "/filler";
    {
        QFile file(filler);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (file.write(block) == block.size()) {
        }
    }
    const QStringList before = entriesOf(mount.folder());

    const QString message = failedSave(path, 2);
    EXPECT_TRUE(GetParam().isFailureMessage(message, path)) << message.toStdString();
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(entriesOf(mount.folder()), before);

    ASSERT_TRUE(QFile::remove(filler));
    EXPECT_EQ(failedSave(path, 2), QString());
    if (GetParam().replacesOldFile) {
        EXPECT_NE(ReadAll(path), old);
    } else {
        EXPECT_FALSE(ReadAll(path).isEmpty());
    }
}

// True while process pid has a file open for writing in folder other than
// `path` itself: the save's temporary (often an unnamed O_TMPFILE).
bool writesTemporaryIn(qint64 pid, const QString& folder, const QString& path) {
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char target[4096];
        const ssize_t length = ::readlink(QFile::encodeName(fds + "/" + fd).constData(), target, sizeof target - 1);
        if (length <= 0)
            continue;
        const QString file = QFile::decodeName(QByteArray(target, int(length)));
        if (file.startsWith(folder + "/") && file != path)
            return true;
    }
    return false;
}

// A second copy of this executable saves a huge file over and over; it is
// killed while it writes a temporary, that is before the rename.
TEST_P(SaveFault, SaveKilledBeforeTheRenameLeavesAWholeFile) {
    if (!GetParam().replacesOldFile)
        GTEST_SKIP() << "the language file is only created, never replaced";
    const QString path = fileIn(temp_.path());
    ASSERT_EQ(failedSave(path, 1), QString());
    const QByteArray old = ReadAll(path);
    ASSERT_FALSE(old.isEmpty());

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELMO_SAVE_CHILD_KIND"), QString::fromLatin1(GetParam().name));
    env.insert(QStringLiteral("VELMO_SAVE_CHILD_PATH"), path);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SaveChild.SavesHugeFile")});
    ASSERT_TRUE(child.waitForStarted());

    bool killedMidSave = false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000 && child.state() == QProcess::Running) {
        if (writesTemporaryIn(child.processId(), temp_.path(), path)) {
            ::kill(pid_t(child.processId()), SIGKILL);
            killedMidSave = true;
            break;
        }
        QThread::usleep(500);
    }
    if (!killedMidSave)
        child.kill();
    child.waitForFinished(10000);
    ASSERT_TRUE(killedMidSave) << "the child never started a save";
    // The old generation or a completed later one, never a partial file.
    const QByteArray now = ReadAll(path);
    if (now != old) {
        const QString copy = temp_.path() + "/whole";
        GetParam().write(copy, 2, true);
        EXPECT_TRUE(now == ReadAll(copy)) << "a partial file replaced the old one";
    }
    // The next save (the retry) still works.
    EXPECT_EQ(failedSave(path, 3), QString());
    EXPECT_NE(ReadAll(path), old);
}

INSTANTIATE_TEST_SUITE_P(AllSavedFiles, SaveFault, ::testing::ValuesIn(SavedFileKinds()),
                         [](const auto& info) { return std::string(info.param.name); });

// The child side of the kill test; does nothing in a normal run.
TEST(SaveChild, SavesHugeFile) {
    const QString kind = qEnvironmentVariable("VELMO_SAVE_CHILD_KIND");
    if (kind.isEmpty())
        GTEST_SKIP() << "runs only as the child of the kill test";
    const SavedFileKind* saved = SavedFileKindNamed(kind);
    ASSERT_NE(saved, nullptr);
    for (;;)
        saved->write(qEnvironmentVariable("VELMO_SAVE_CHILD_PATH"), 2, true);
}

}  // namespace
