// Loads that go on in the background: a file that does not open at once (a
// named pipe nobody writes to stands for a stalled disk) leaves the window
// working, says so in the name label and gives way to a newer load; play
// asked for meanwhile starts once the file is ready; closing never waits.

#include "MainWindowFixture.h"

#include <QLabel>

#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Opening : public MainWindowTest {
protected:
    void SetUp() override {
        // Every load goes on in the background, however fast its file.
        qputenv("VELMO_LOAD_WAIT_MS", "0");
        MainWindowTest::SetUp();
        stalled = dir.filePath("stalled.wav");
        ASSERT_EQ(mkfifo(QFile::encodeName(stalled).constData(), 0600), 0);
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        ReleaseStalledReader();
        qputenv("VELMO_LOAD_WAIT_MS", "60000");
    }

    // Lets a reader stuck on the pipe go (it reads an empty file), so its
    // abandoned thread ends.
    void ReleaseStalledReader() {
        for (int i = 0; i < 100 && !released; ++i) {
            const int fd = ::open(QFile::encodeName(stalled).constData(), O_WRONLY | O_NONBLOCK);
            released = fd >= 0;
            if (released)
                ::close(fd);
            else
                usleep(10000);
        }
    }

    QString NameShown() const { return form->lbName->text(); }

    QString stalled;
    bool released = false;
};

TEST_F(Opening, StalledFileLeavesTheWindowWorkingAndGivesWayToANewerLoad) {
    const QString first = SineFile("first.wav", 2.0);
    const QString second = SineFile("second.wav", 3.0);
    form->LoadAudioFile(first);
    ASSERT_TRUE(WaitUntil([&] { return !form->LoadPending(); }));
    ASSERT_EQ(form->AudioFileName(), first);

    QElapsedTimer clock;
    clock.start();
    form->LoadAudioFile(stalled);
    EXPECT_LT(clock.elapsed(), 500) << "the load waited for the pipe";
    EXPECT_TRUE(form->LoadPending());
    EXPECT_EQ(form->Channel(), 0u);
    // Play meanwhile asks for no file: it waits for the one opening.
    form->btnPlayPauseClick();
    EXPECT_TRUE(prompts->openDialogs.isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return NameShown().startsWith("Opening stalled.wav"); }, 3000)) << NameShown().toStdString();
    EXPECT_TRUE(form->LoadPending());

    bool loaded = false;
    form->LoadAudioFile(second, [&](bool ok) { loaded = ok; });
    ASSERT_TRUE(WaitUntil([&] { return !form->LoadPending(); }));
    EXPECT_TRUE(loaded);
    EXPECT_EQ(form->AudioFileName(), second);
    EXPECT_EQ(NameShown(), "second.wav");
    EXPECT_NEAR(form->Duration(), 3.0, 0.001);
    // The play asked for the abandoned file does not carry over.
    EXPECT_FALSE(form->isPlaying());

    // The abandoned file, when its pipe finally gives way, changes nothing.
    ReleaseStalledReader();
    QElapsedTimer settle;
    settle.start();
    WaitUntil([&] { return settle.elapsed() > 300; });
    EXPECT_EQ(form->AudioFileName(), second);
    EXPECT_NE(form->Channel(), 0u);
}

TEST_F(Opening, ClosingWhileAFileIsStalledDoesNotWait) {
    form->LoadAudioFile(stalled);
    ASSERT_TRUE(form->LoadPending());
    QElapsedTimer clock;
    clock.start();
    form->close();
    form.reset();
    EXPECT_LT(clock.elapsed(), 2000);
}

// Whatever asks for play while the file opens (the play button, a playlist
// step, a hand-off), it plays once ready; a failed open restores the label
// and runs the load's follow-up with "not loaded".
TEST_F(Opening, PlayWaitsForTheFileAndAFailedOpenRestoresTheLabel) {
    const QString song = SineFile("song.wav", 2.0);
    form->LoadAudioFile(song);
    EXPECT_TRUE(form->LoadPending());
    form->btnPlayPauseClick();
    ASSERT_TRUE(WaitUntil([&] { return form->isPlaying(); }));
    EXPECT_EQ(NameShown(), "song.wav");

    const QString broken = dir.filePath("broken.wav");
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    std::optional<bool> loaded;
    form->LoadAudioFile(broken, [&](bool ok) { loaded = ok; });
    ASSERT_TRUE(WaitUntil([&] { return loaded.has_value(); }));
    EXPECT_FALSE(*loaded);
    EXPECT_EQ(form->Channel(), 0u);
    EXPECT_EQ(NameShown(), "song.wav");
}

}  // namespace
