#include "MainWindowFixture.h"

#include "audio/AudioTestApi.h"

#include <QDataStream>
#include <QFile>

#include <cmath>

void WriteSineWav(const QString& path, double seconds) {
    constexpr int rate = 44100;
    const int frames = static_cast<int>(seconds * rate);
    QByteArray data;
    data.reserve(frames * 4);
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<qint16>(16384 * std::sin(2 * M_PI * 440.0 * i / rate));
        for (int c = 0; c < 2; ++c) {
            data.append(static_cast<char>(v & 0xFF));
            data.append(static_cast<char>((v >> 8) & 0xFF));
        }
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + data.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(2) << quint32(rate) << quint32(rate * 4) << quint16(4)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(data.size());
    out.writeRawData(data.constData(), data.size());
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
