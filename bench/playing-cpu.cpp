// CPU cost of playback: the whole player (window shown, a file with 1,000
// markers, equalizer on) playing for 20 s, against `ffplay -nodisp -autoexit`
// on the same file at the same time, both with SDL_AUDIODRIVER=dummy; then
// the player paused for 20 s. Three rounds; prints each and the medians in
// CPU seconds per second and the ratio, and the process's context switches
// per second while paused (its wakeups). Targets: at most ffplay's figure
// while playing, at most 0.2 % of one core while paused. Then three
// rounds at 75 % speed (pitch kept), equalizer on, against
// `ffplay -nodisp -af atempo=0.75`: at most 1.5 x ffplay's figure.
//
// Runs on $DISPLAY (start it under xvfb-run) or offscreen when there is none.

#include "platform/VelmoApplication.h"
#include "mainwindow/uMain.h"
#include "platform/QtPrompts.h"
#include "platform/QtShell.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int PlaySeconds = 20;
constexpr int PauseSeconds = 20;
constexpr double MaxPlayingRatio = 1.0;
constexpr double MaxPausedShare = 0.002;
constexpr int MarkerCount = 1000;
constexpr int Rounds = 3;

double OwnCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

long ContextSwitches() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs the event loop as the program's own would: asleep until something is due.
void RunEventsFor(int seconds) {
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
}

struct PlayingCpu {
    double player;  // CPU seconds per second
    double ffplay;
};

// The player playing from the start for PlaySeconds while ffplay plays the
// same file (fileSeconds of it, through `filters`) alongside, so both see
// the same load on the machine. The player is left playing.
PlayingCpu PlayBesideFfplay(TForm1& form, const QString& file, double fileSeconds, const QStringList& filters) {
    form.btnStopClick();
    form.btnPlayPauseClick();
    QProcess ffplay;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SDL_AUDIODRIVER", "dummy");
    ffplay.setProcessEnvironment(env);
    const double child0 = ChildrenCpuSeconds();
    const double cpu0 = OwnCpuSeconds();
    ffplay.start("ffplay", QStringList{"-nodisp", "-autoexit", "-loglevel", "quiet"} + filters +
                               QStringList{"-t", QString::number(fileSeconds), file});
    RunEventsFor(PlaySeconds);
    const double player = (OwnCpuSeconds() - cpu0) / PlaySeconds;
    ffplay.waitForFinished(30000);
    return {player, (ChildrenCpuSeconds() - child0) / PlaySeconds};
}

// The player playing at 75 % from the start for PlaySeconds while ffplay
// plays the same file slowed down alike; medians of Rounds rounds. Returns
// whether the player stays within 1.5 x ffplay's CPU.
bool SlowSpeedRounds(TForm1& form, const QString& file) {
    constexpr int Percent = 75;
    form.SetSpeed(Percent);
    std::vector<double> playing, peer;
    for (int round = 0; round < Rounds; ++round) {
        // -t counts the file's seconds: PlaySeconds of playing at 75 %.
        const PlayingCpu cpu = PlayBesideFfplay(form, file, PlaySeconds * Percent / 100.0,
                                                {"-af", QStringLiteral("atempo=%1").arg(Percent / 100.0)});
        playing.push_back(cpu.player);
        peer.push_back(cpu.ffplay);
        form.btnPlayPauseClick();
        std::printf("  75 %% round %d: player %.4f CPU s/s playing, ffplay %.4f\n", round + 1, playing.back(),
                    peer.back());
    }
    form.SetSpeed(100);
    const double play = Median(playing), ffplayCpu = Median(peer);
    const double ratio = ffplayCpu > 0 ? play / ffplayCpu : 0.0;
    std::printf("playing-cpu: at 75 %% player %.4f CPU s/s, ffplay atempo %.4f CPU s/s, ratio %.2f (target 1.5)\n",
                play, ffplayCpu, ratio);
    return ffplayCpu > 0 && ratio <= 1.5;
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

    // A one-minute stereo MP3 and its 1,000 markers, all in view at the fitted zoom.
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

    // Each round plays from the start with ffplay playing the same file
    // alongside, so both see the same load on the machine; then pauses.
    std::vector<double> playing, peer, paused, wakeups;
    for (int round = 0; round < Rounds; ++round) {
        const PlayingCpu cpu = PlayBesideFfplay(form, file, PlaySeconds, {});
        playing.push_back(cpu.player);
        peer.push_back(cpu.ffplay);

        form.btnPlayPauseClick();
        RunEventsFor(1);
        const double cpu0 = OwnCpuSeconds();
        const long switches0 = ContextSwitches();
        RunEventsFor(PauseSeconds);
        paused.push_back((OwnCpuSeconds() - cpu0) / PauseSeconds);
        wakeups.push_back(double(ContextSwitches() - switches0) / PauseSeconds);
        std::printf("  round %d: player %.4f CPU s/s playing, ffplay %.4f, player paused %.3f %% (%.1f wakeups/s)\n",
                    round + 1, playing.back(), peer.back(), paused.back() * 100, wakeups.back());
    }
    const double play = Median(playing), ffplayCpu = Median(peer), pause = Median(paused);
    const double ratio = ffplayCpu > 0 ? play / ffplayCpu : 0.0;
    std::printf("playing-cpu: player %.4f CPU s/s playing, ffplay %.4f CPU s/s, ratio %.2f (target 1.0)\n", play,
                ffplayCpu, ratio);
    std::printf("playing-cpu: player %.3f %% of one core paused (target 0.2 %%), %.1f wakeups/s; medians of %d rounds\n",
                pause * 100, Median(wakeups), Rounds);
    const bool slowWithin = SlowSpeedRounds(form, file);
    form.close();
    return (ffplayCpu > 0 && ratio <= MaxPlayingRatio && pause <= MaxPausedShare && slowWithin) ? 0 : 1;
}
