// Start-up of the real player: time from process start to the main window
// being shown (mapped and viewable on the X server), and resident memory once
// it sits idle, each the median of five starts. Runs on $DISPLAY, or on a
// private Xvfb it starts itself. Targets: 300 ms and 80 MB.
//
// Usage: bench_startup [path to velmoplayer]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 5;
constexpr int IdleSettleMs = 2000;
const char* const Caption = "QRT Velmo Player";

bool WindowViewable(const QString& display) {
    QProcess info;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    info.setProcessEnvironment(env);
    info.start("xwininfo", {"-name", Caption});
    info.waitForFinished(2000);
    return info.readAllStandardOutput().contains("IsViewable");
}

double ResidentMegabytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString player = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QCoreApplication::applicationDirPath() + "/../velmoplayer";

    QString display = qEnvironmentVariable("DISPLAY");
    QProcess xvfb;
    if (display.isEmpty()) {
        display = ":93";
        xvfb.start("Xvfb", {display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        if (!xvfb.waitForStarted(5000)) {
            std::fprintf(stderr, "startup: no DISPLAY and Xvfb could not start\n");
            return 2;
        }
        QThread::msleep(800);
    }

    std::vector<double> shownMs;
    std::vector<double> rssMb;
    for (int run = 0; run < Runs; ++run) {
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", runtime.path() + "/config");
        if (!env.contains("SDL_AUDIODRIVER"))
            env.insert("SDL_AUDIODRIVER", "dummy");
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        p.start(player, {});
        if (!p.waitForStarted(5000)) {
            std::fprintf(stderr, "startup: cannot start %s\n", qPrintable(player));
            return 2;
        }
        while (!WindowViewable(display)) {
            if (timer.elapsed() > 20000) {
                std::fprintf(stderr, "startup: the window did not show\n");
                return 1;
            }
        }
        shownMs.push_back(timer.nsecsElapsed() / 1e6);
        QThread::msleep(IdleSettleMs);
        rssMb.push_back(ResidentMegabytes(p.processId()));
        p.terminate();
        if (!p.waitForFinished(3000))
            p.kill();
        p.waitForFinished(3000);
    }
    if (xvfb.state() == QProcess::Running) {
        xvfb.terminate();
        xvfb.waitForFinished(3000);
    }
    const double shown = Median(shownMs);
    const double rss = Median(rssMb);
    std::printf("startup: window shown after %.0f ms, %.1f MB resident when idle (median of %d; targets 300 ms, 80 MB)\n",
                shown, rss, Runs);
    return shown <= 300 && rss <= 80 ? 0 : 1;
}
