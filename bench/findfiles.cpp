// Scans a folder tree of 20,000 files (200 folders of 100 files, two levels
// deep) with FindFiles, as the playlist's add-folder command does, and prints
// the median of five runs. The tree is made in a temporary folder and removed.

#include "platform/FileHelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    for (int a = 0; a < 20; ++a) {
        for (int b = 0; b < 10; ++b) {
            const QString folder = QStringLiteral("%1/artist%2/album%3").arg(root.path()).arg(a).arg(b);
            QDir().mkpath(folder);
            for (int t = 0; t < 100; ++t) {
                QFile f(QStringLiteral("%1/track%2.mp3").arg(folder).arg(t));
                f.open(QIODevice::WriteOnly);
            }
        }
    }
    std::vector<double> ms;
    QStringList list;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        FindFiles(root.path(), QStringLiteral("*.*"), list, true);
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("findfiles: %lld files in %.1f ms (median of 5)\n", static_cast<long long>(list.size()), ms[2]);
    return list.size() == 20000 ? 0 : 1;
}
