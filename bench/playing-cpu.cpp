// CPU cost of playback: the whole player (window shown, a file with 1,000
// markers, equalizer on) playing for 20 s, against `ffplay -nodisp -autoexit`
// on the same file, both with SDL_AUDIODRIVER=dummy; then the player paused
// for 10 s. Prints CPU seconds per second and the ratio. Targets: at most
// 1.5 x ffplay's figure while playing, at most 1 % of one core while paused.
//
// Runs on $DISPLAY (start it under xvfb-run) or offscreen when there is none.

#include "app/VelmoApplication.h"
#include "app/uMain.h"
#include "platform/QtPrompts.h"
#include "platform/QtShell.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int PlaySeconds = 20;
constexpr int PauseSeconds = 10;
constexpr int MarkerCount = 1000;

double OwnCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

void RunEventsFor(int seconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < seconds * 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    VelmoApplication app(argc, argv);
    QtPrompts qtPrompts;
    setPrompts(&qtPrompts);
    QtShell qtShell;
    setShell(&qtShell);

    // A one-minute stereo MP3 and its 1,000 markers.
    const QString file = dir.path() + "/bench.mp3";
    if (QProcess::execute("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                     "sine=frequency=440:duration=60:sample_rate=44100", "-ac", "2", "-b:a",
                                     "192k", file}) != 0) {
        std::fprintf(stderr, "playing-cpu: ffmpeg could not make the test file\n");
        return 2;
    }
    {
        QFile mrk(file + ".mrk");
        mrk.open(QIODevice::WriteOnly);
        mrk.write("\xEF\xBB\xBF");
        for (int i = 0; i < MarkerCount; ++i)
            mrk.write(QString::asprintf("%.6f,Marker %d\r\n", i * 0.06, i + 1).toUtf8());
    }

    TForm1 form;
    form.show();
    form.cbEq->setChecked(true);
    form.LoadAudioFile(file);
    RunEventsFor(1);

    form.btnPlayPauseClick();
    double cpu0 = OwnCpuSeconds();
    RunEventsFor(PlaySeconds);
    const double playing = (OwnCpuSeconds() - cpu0) / PlaySeconds;

    form.btnPlayPauseClick();
    RunEventsFor(1);
    cpu0 = OwnCpuSeconds();
    RunEventsFor(PauseSeconds);
    const double paused = (OwnCpuSeconds() - cpu0) / PauseSeconds;

    QProcess ffplay;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SDL_AUDIODRIVER", "dummy");
    ffplay.setProcessEnvironment(env);
    const double child0 = ChildrenCpuSeconds();
    ffplay.start("ffplay", {"-nodisp", "-autoexit", "-loglevel", "quiet", "-t", QString::number(PlaySeconds), file});
    ffplay.waitForFinished(PlaySeconds * 1000 + 30000);
    const double peer = (ChildrenCpuSeconds() - child0) / PlaySeconds;

    std::printf("playing-cpu: player %.4f CPU s/s playing, ffplay %.4f CPU s/s, ratio %.2f (target 1.5)\n", playing,
                peer, peer > 0 ? playing / peer : 0.0);
    std::printf("playing-cpu: player %.2f %% of one core paused (target 1 %%)\n", paused * 100);
    form.close();
    return (peer > 0 && playing / peer <= 1.5 && paused <= 0.01) ? 0 : 1;
}
