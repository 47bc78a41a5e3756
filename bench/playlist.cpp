// Playlist figures: opening a 100,000-line playlist file into the window, and
// scanning a generated tree of 20,000 files in 200 folders while the window
// keeps repainting. Targets: 0.5 s and 1 s.
//
//   bench_playlist [work-folder]    (default: a temporary folder)

#include "platform/Prompts.h"
#include "playlist/uList.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

// Answers every question without showing anything.
class SilentPrompts final : public Prompts {
public:
    Answer ask(Kind, const QString&, Buttons) override { return Answer::Ok; }
    QStringList openFiles(const FileDialog&) override { return {}; }
    QString saveFile(const FileDialog&) override { return {}; }
    QString pickFolder(const QString&, const QString&) override { return {}; }
};

// Counts the paint events of a window.
class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void writeList(const QString& path, const QString& folder, int lines) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < lines; ++i)
        file.write(QStringLiteral("%1/track %2.mp3\r\n").arg(folder).arg(i, 6, 10, QChar('0')).toUtf8());
}

void makeTree(const QString& root, int folders, int filesPerFolder) {
    for (int d = 0; d < folders; ++d) {
        const QString folder = QStringLiteral("%1/album %2").arg(root).arg(d, 3, 10, QChar('0'));
        QDir().mkpath(folder);
        for (int f = 0; f < filesPerFolder; ++f) {
            QFile file(QStringLiteral("%1/track %2.mp3").arg(folder).arg(f, 3, 10, QChar('0')));
            file.open(QIODevice::WriteOnly);
        }
    }
}

// CPU seconds of the whole process (all threads): unlike the wall clock it
// does not count the time other programs on the machine take.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPrompts silent;
    setPrompts(&silent);

    QTemporaryDir temp;
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();

    TfrmList frm;
    PaintCounter counter;
    frm.PList->viewport()->installEventFilter(&counter);
    frm.show();
    QCoreApplication::processEvents();

    // 1. A 100,000-line playlist file into the window, painted.
    const QString list = work + "/big.vpl";
    writeList(list, work + "/music", 100000);
    QElapsedTimer clock;
    clock.start();
    double cpu = cpuSeconds();
    const bool loaded = frm.LoadListBg(list);
    frm.repaint();
    QCoreApplication::processEvents();
    const double openSeconds = clock.nsecsElapsed() / 1e9;
    const double openCpu = cpuSeconds() - cpu;
    constexpr double openTarget = 0.5;
    std::printf("open 100,000-line playlist: %.3f s wall, %.3f s CPU, %.2f x the %.1f s target%s, %d rows\n",
                openSeconds, openCpu, openSeconds / openTarget, openTarget,
                openSeconds <= openTarget ? "" : "  ABOVE TARGET", loaded ? frm.Rows().count() : -1);

    // 2. A tree of 20,000 files in 200 folders, scanned while a timer asks
    //    the window to repaint every 10 ms.
    const QString tree = work + "/tree";
    makeTree(tree, 200, 100);
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, &frm, [&] { frm.PList->viewport()->update(); });
    ticker.start();
    counter.paints = 0;
    const int before = frm.Rows().count();
    clock.restart();
    cpu = cpuSeconds();
    frm.AddFolderToList(tree);
    const double scanSeconds = clock.nsecsElapsed() / 1e9;
    const double scanCpu = cpuSeconds() - cpu;
    ticker.stop();
    constexpr double scanTarget = 1.0;
    std::printf("scan 20,000 files in 200 folders: %.3f s wall, %.3f s CPU, %.2f x the %.1f s target%s, "
                "%d rows added, %d repaints during the scan\n",
                scanSeconds, scanCpu, scanSeconds / scanTarget, scanTarget,
                scanSeconds <= scanTarget ? "" : "  ABOVE TARGET", frm.Rows().count() - before, counter.paints);
    return 0;
}
