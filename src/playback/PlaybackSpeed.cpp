#include "playback/PlaybackSpeed.h"

#include <algorithm>
#include <cmath>

namespace PlaybackSpeed {

int Stepped(int percent, int steps) { return Valid(double(Valid(percent)) + double(steps) * Step); }

int Valid(double percent) {
    if (!std::isfinite(percent))
        return Normal;
    const double clamped = std::clamp(percent, double(Min), double(Max));
    return int(std::lround(clamped / Step)) * Step;
}

}  // namespace PlaybackSpeed
