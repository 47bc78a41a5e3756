// One repaint of the visible 900 pixels of the timeline at 320 px/s with
// 10,000 markers, for a one-hour and a one-minute track. The cost must not
// grow with the track: prints both medians and their ratio. Then the hour
// against a track exactly one screen long with the markers as dense as the
// hour's: the same picture on screen, so any difference is what the hour
// costs off screen. Last, the hour with its waveform against the same repaint
// without it, at 320 px/s and at the zoom that fits the hour into the view;
// the waveform is painted once and kept, so at 320 px/s also the mean of
// repaints that scroll 8 px each (playback's pace) and the cost when every
// repaint lands outside what is kept.

#include "timeline/TimelineGeometry.h"
#include "timeline/TimelineRenderer.h"
#include "timeline/WaveformSummary.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kViewWidth = 900;
constexpr int kViewHeight = 61;
constexpr int kMarkers = 10000;
constexpr int kRepaints = 3000;

struct RepaintTimes {
    double median;
    double mean;
};

// scrollStep: pixels the view moves between two repaints.
RepaintTimes repaintTimes(double duration, int markerCount, double zoomFactor = 320.0,
                          const WaveformSummary* waveform = nullptr, qint64 scrollStep = 0) {
    TMarkerList markers;
    markers.reserve(markerCount);
    for (int i = 0; i < markerCount; ++i)
        markers.append(TMarker{duration * (i + 0.5) / markerCount, QStringLiteral("marker")});
    TimelineScene scene;
    scene.loaded = true;
    scene.zoomFactor = zoomFactor;
    scene.waveform = waveform;
    scene.duration = duration;
    scene.playPosition = duration / 2;
    scene.markers = &markers;
    scene.pictureWidth = TimelineWidthFor(duration, scene.zoomFactor);
    scene.height = kViewHeight;
    scene.font.setPixelSize(17);
    // The view follows the play head as auto-scroll would place it, within
    // the scroll range.
    const qint64 origin = std::clamp<qint64>(PixelOfTime(scene.playPosition, scene.zoomFactor) - kViewWidth / 8, 0,
                                             std::max<qint64>(0, scene.pictureWidth - kViewWidth));

    QImage image(kViewWidth, kViewHeight, QImage::Format_RGB32);
    std::vector<double> times;
    times.reserve(kRepaints);
    for (int i = 0; i < kRepaints + 50; ++i) {
        QElapsedTimer timer;
        timer.start();
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::black);
        const qint64 scrolled = (origin + i * scrollStep) % std::max<qint64>(1, scene.pictureWidth - kViewWidth);
        RenderTimeline(painter, scene, scrolled, image.rect());
        painter.end();
        const double ms = timer.nsecsElapsed() / 1e6;
        if (i >= 50)  // warm-up: glyph caches
            times.push_back(ms);
    }
    double sum = 0.0;
    for (double t : times)
        sum += t;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return {times[times.size() / 2], sum / times.size()};
}

double medianRepaintMs(double duration, int markerCount, double zoomFactor = 320.0,
                       const WaveformSummary* waveform = nullptr) {
    return repaintTimes(duration, markerCount, zoomFactor, waveform).median;
}

// One hour at 44.1 kHz of noise at changing levels.
WaveformSummary hourWaveform() {
    const qsizetype blocks = 3600LL * 44100 / WaveformSummary::kBaseBlockFrames;
    QList<qint8> mins(blocks);
    QList<qint8> maxs(blocks);
    std::mt19937 random(7);
    for (qsizetype i = 0; i < blocks; ++i) {
        const int peak = static_cast<int>(random() % 127);
        mins[i] = static_cast<qint8>(-peak);
        maxs[i] = static_cast<qint8>(peak);
    }
    WaveformSummary summary;
    summary.reset(44100);
    summary.append(mins, maxs);
    return summary;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const double hour = medianRepaintMs(3600.0, kMarkers);
    const double minute = medianRepaintMs(60.0, kMarkers);
    const double screenSeconds = kViewWidth / 320.0;
    const int screenMarkers = static_cast<int>(std::lround(kMarkers * screenSeconds / 3600.0));
    const double screen = medianRepaintMs(screenSeconds, screenMarkers);
    std::printf("timeline repaint, 900 px at 320 px/s, %d markers (median of %d)\n", kMarkers, kRepaints);
    std::printf("  one hour   (%lld px picture): %.3f ms\n", static_cast<long long>(TimelineWidthFor(3600.0, 320.0)), hour);
    std::printf("  one minute (%lld px picture): %.3f ms\n", static_cast<long long>(TimelineWidthFor(60.0, 320.0)), minute);
    std::printf("  ratio hour / minute: %.2f (target <= 1.5; each target < 1 ms)\n", hour / minute);
    std::printf("  one screen (%lld px picture, %d markers, as dense as the hour's): %.3f ms\n",
                static_cast<long long>(TimelineWidthFor(screenSeconds, 320.0)), screenMarkers, screen);
    std::printf("  ratio hour / one screen: %.2f (target <= 1.5)\n", hour / screen);

    const WaveformSummary wave = hourWaveform();
    const double fitted = FitZoomFactor(kViewWidth, 3600.0);
    for (double factor : {320.0, fitted}) {
        const double off = medianRepaintMs(3600.0, kMarkers, factor);
        const double on = medianRepaintMs(3600.0, kMarkers, factor, &wave);
        std::printf("  one hour at %.3f px/s: waveform off %.3f ms, on %.3f ms, ratio %.2f "
                    "(target <= 1.5 and < 1 ms)\n", factor, off, on, on / off);
    }
    const RepaintTimes off = repaintTimes(3600.0, kMarkers, 320.0, nullptr, 8);
    const RepaintTimes on = repaintTimes(3600.0, kMarkers, 320.0, &wave, 8);
    std::printf("  scrolling 8 px a repaint at 320 px/s: waveform off mean %.3f ms, on mean %.3f ms, ratio %.2f\n",
                off.mean, on.mean, on.mean / off.mean);
    const RepaintTimes far = repaintTimes(3600.0, kMarkers, 320.0, &wave, 5000);
    std::printf("  every repaint 5,000 px from the last (waveform painted anew): %.3f ms\n", far.median);
    return 0;
}
