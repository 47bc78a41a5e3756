#include "AudioRig.h"

#include "audio/AudioTestApi.h"
#include "TestWav.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <unistd.h>

NullAudio::NullAudio(bool untimed) {
    velmo::audio::test::useNullOutput(untimed);
    ok_ = BASS_Init(-1, 44100, 0, nullptr, nullptr) != 0;
}

NullAudio::~NullAudio() {
    if (ok_)
        BASS_Free();
    velmo::audio::test::useDeviceOutput();
}

void WriteToneWav(const QString& path, double seconds) {
    WriteTestWav(path, seconds, 44100, 2, [](int i) { return qint16(2000 * std::sin(2 * M_PI * 440 * i / 44100)); });
}

namespace {
void countEnd(HSYNC, DWORD, DWORD, void* user) { static_cast<EndCounter*>(user)->ends.fetch_add(1); }

int entriesIn(const char* folder) {
    return int(QDir(QString::fromLatin1(folder)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}
}  // namespace

HSYNC EndCounter::attach(HSTREAM stream) { return BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, countEnd, this); }

bool WaitForEnd(const EndCounter& counter, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (counter.ends.load() == 0 && clock.elapsed() < timeoutMs)
        QThread::msleep(2);
    return counter.ends.load() > 0;
}

int ThreadCount() { return entriesIn("/proc/self/task"); }

int OpenFdCount() { return entriesIn("/proc/self/fd"); }

double ResidentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

int SettledThreadCount(int limit, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    int count = ThreadCount();
    while (count > limit && clock.elapsed() < timeoutMs) {
        QThread::msleep(10);
        count = ThreadCount();
    }
    return count;
}
