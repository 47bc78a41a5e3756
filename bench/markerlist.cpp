// Rebuilding the marker list view with 10,000 markers: the model reset plus
// one paint of the visible rows, median of many runs. The cost must stay that
// of one pass over the markers plus one screen of rows.

#include "timeline/MarkerListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double medianMs(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TMarkerList markers;
    for (int i = 0; i < 10000; ++i)
        markers.append({i * 0.37, QStringLiteral("marker %1").arg(i)});

    MarkerListModel model;
    QTableView view;
    view.setModel(&model);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.resize(883, 172);
    view.show();

    std::vector<double> rebuild;
    std::vector<double> rebuildAndPaint;
    for (int run = 0; run < 41; ++run) {
        QElapsedTimer timer;
        timer.start();
        model.rebuild(markers);
        rebuild.push_back(timer.nsecsElapsed() / 1e6);
        view.scrollTo(model.index(run * 200, 0));
        view.grab();  // paints the visible rows
        rebuildAndPaint.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("marker list, 10000 markers: rebuild %.3f ms, rebuild + paint %.3f ms (median of %zu)\n",
                medianMs(rebuild), medianMs(rebuildAndPaint), rebuild.size());
    return 0;
}
