// Start-up of the real player: time from process start to the main window
// being shown (mapped and viewable on the X server), and resident memory once
// it sits idle, each the median of five starts. As a peer, the same for a
// bare Qt Widgets window (this program started with --bare), started in
// turn with the player so that both see the same load on the machine. Runs
// on $DISPLAY, or on a private Xvfb it starts itself. Targets: shown within
// 2 times and resident within 1.5 times the bare window's figures.
//
// Usage: bench_startup [path to velmoplayer]

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 5;
constexpr int IdleSettleMs = 2000;
constexpr double MaxTimeRatio = 2.0;
constexpr double MaxMemoryRatio = 1.5;
const char* const Caption = "QRT Velmo Player";
const char* const BareCaption = "Velmo bench bare window";

bool WindowViewable(const QString& display, const char* caption) {
    QProcess info;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    info.setProcessEnvironment(env);
    info.start("xwininfo", {"-name", caption});
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

// The peer: an empty Qt Widgets window of the player's size.
int RunBareWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(BareCaption);
    window.resize(900, 500);
    window.show();
    return app.exec();
}

struct Start {
    double shownMs;
    double rssMb;
};

// One start of `program` until its window named `caption` shows, then idle.
bool MeasureStart(const QString& program, const QStringList& args, const char* caption, const QString& display,
                  Start& result) {
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
    p.start(program, args);
    if (!p.waitForStarted(5000)) {
        std::fprintf(stderr, "startup: cannot start %s\n", qPrintable(program));
        return false;
    }
    while (!WindowViewable(display, caption)) {
        if (timer.elapsed() > 20000) {
            std::fprintf(stderr, "startup: the window of %s did not show\n", qPrintable(program));
            p.kill();
            p.waitForFinished(3000);
            return false;
        }
    }
    result.shownMs = timer.nsecsElapsed() / 1e6;
    QThread::msleep(IdleSettleMs);
    result.rssMb = ResidentMegabytes(p.processId());
    p.terminate();
    if (!p.waitForFinished(3000))
        p.kill();
    p.waitForFinished(3000);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0)
        return RunBareWindow(argc, argv);
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

    std::vector<double> shownMs, rssMb, bareShownMs, bareRssMb;
    for (int run = 0; run < Runs; ++run) {
        Start ours{}, bare{};
        if (!MeasureStart(player, {}, Caption, display, ours) ||
            !MeasureStart(QCoreApplication::applicationFilePath(), {"--bare"}, BareCaption, display, bare))
            return 1;
        shownMs.push_back(ours.shownMs);
        rssMb.push_back(ours.rssMb);
        bareShownMs.push_back(bare.shownMs);
        bareRssMb.push_back(bare.rssMb);
    }
    if (xvfb.state() == QProcess::Running) {
        xvfb.terminate();
        xvfb.waitForFinished(3000);
    }
    const double shown = Median(shownMs), rss = Median(rssMb);
    const double bareShown = Median(bareShownMs), bareRss = Median(bareRssMb);
    const double timeRatio = shown / bareShown, memoryRatio = rss / bareRss;
    std::printf("startup: window shown after %.0f ms, %.1f MB resident when idle (median of %d)\n", shown, rss, Runs);
    std::printf("startup: bare Qt window %.0f ms, %.1f MB; ratio %.2f in time (target 2), %.2f in memory (target 1.5)\n",
                bareShown, bareRss, timeRatio, memoryRatio);
    return timeRatio <= MaxTimeRatio && memoryRatio <= MaxMemoryRatio ? 0 : 1;
}
