// The waveform's work on one file, for bench/waveform.sh.
//   bench_waveform FILE            computes the summary without the cache
//   bench_waveform FILE CACHEDIR   fills the cache if needed, then prints the
//                                  median time of reopening from it (5 runs)

#include "audio/bass.h"
#include "playback/WaveformBuilder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Collects every pollMicroseconds, as the player's 25 ms tick does.
WaveformSummary buildAll(const QString& file, const QString& cache, unsigned long pollMicroseconds) {
    WaveformBuilder builder;
    builder.start(file, cache);
    WaveformSummary summary;
    while (!builder.finished()) {
        builder.collect(summary);
        QThread::usleep(pollMicroseconds);
    }
    builder.collect(summary);
    return summary;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_waveform FILE [CACHEDIR]\n");
        return 2;
    }
    BASS_SetConfig(BASS_CONFIG_UNICODE, 1);
    const QString file = QString::fromLocal8Bit(argv[1]);
    if (argc < 3) {
        const WaveformSummary summary = buildAll(file, QString(), 25'000);
        return summary.isEmpty() ? 1 : 0;
    }
    QString cache = QString::fromLocal8Bit(argv[2]);
    if (!cache.endsWith(QLatin1Char('/')))
        cache += QLatin1Char('/');
    const qint64 frames = buildAll(file, cache, 25'000).framesCovered();  // fills the cache
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        // Polled closely: the time to the summary, not to the next tick.
        const WaveformSummary summary = buildAll(file, cache, 200);
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (summary.framesCovered() != frames)
            return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("%.3f\n", times[2]);
    return 0;
}
