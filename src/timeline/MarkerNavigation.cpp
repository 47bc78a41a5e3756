#include "timeline/MarkerNavigation.h"

#include <cmath>

int NearestMarkerIndex(const TMarkerList& markers, double position) {
    int best = -1;
    double bestDistance = 0.0;
    for (int i = 0; i < markers.size(); ++i) {
        const double distance = std::abs(markers[i].Time - position);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

MarkerStep NextMarkerStep(const TMarkerList& markers, double position, double duration) {
    const double from = position + kNextMarkerMargin;
    MarkerStep step;
    double best = duration;
    for (int i = 0; i < markers.size(); ++i) {
        const double t = markers[i].Time;
        if (from < t && t < best) {
            best = t;
            step.index = i;
            step.time = t;
        }
    }
    return step;
}

MarkerStep PreviousMarkerStep(const TMarkerList& markers, double position) {
    const double from = position - kPreviousMarkerMargin;
    MarkerStep step;
    double best = 0.0;
    for (int i = 0; i < markers.size(); ++i) {
        const double t = markers[i].Time;
        if (from > t && best < t) {
            best = t;
            step.index = i;
            step.time = t;
        }
    }
    return step;
}

int LastMarkerNearTime(const TMarkerList& markers, double time, double tolerance) {
    for (int i = static_cast<int>(markers.size()) - 1; i >= 0; --i) {
        if (std::abs(markers[i].Time - time) < tolerance)
            return i;
    }
    return -1;
}
