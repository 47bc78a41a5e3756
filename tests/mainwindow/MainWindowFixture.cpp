#include "MainWindowFixture.h"

#include "audio/AudioTestApi.h"
#include "TestWav.h"

#include <QDataStream>
#include <QFile>

#include <cmath>

void WriteSineWav(const QString& path, double seconds) {
    ASSERT_TRUE(WriteTestWav(path, seconds, 44100, 2, [](int i) { return static_cast<qint16>(16384 * std::sin(2 * M_PI * 440.0 * i / 44100)); }));
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void MainWindowTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    prompts = std::make_unique<ScriptedPrompts>();
    form = std::make_unique<TForm1>();
    form->show();
    QCoreApplication::processEvents();
}

void MainWindowTest::TearDown() {
    form.reset();
    prompts.reset();
}

QString MainWindowTest::SineFile(const QString& name, double seconds) {
    const QString path = dir.filePath(name);
    WriteSineWav(path, seconds);
    return path;
}

double MainWindowTest::PositionSeconds() const {
    const DWORD ch = form->Channel();
    return BASS_ChannelBytes2Seconds(ch, BASS_ChannelGetPosition(ch, BASS_POS_BYTE));
}

void UntimedMainWindowTest::SetUp() {
    velmo::audio::test::useNullOutput(true);
    MainWindowTest::SetUp();
}

void UntimedMainWindowTest::TearDown() {
    MainWindowTest::TearDown();
    velmo::audio::test::useDeviceOutput();
}
