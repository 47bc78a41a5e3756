#pragma once
// The playing speed in percent: 50 to 200 in steps of 5, 100 as recorded.

namespace PlaybackSpeed {

inline constexpr int Min = 50;
inline constexpr int Max = 200;
inline constexpr int Step = 5;
inline constexpr int Normal = 100;

// `steps` steps faster (negative: slower) from `percent`, within the range.
int Stepped(int percent, int steps);
// A speed read from anywhere (settings, the desktop) on the steps and
// within the range; the nearest step.
int Valid(double percent);

}  // namespace PlaybackSpeed
