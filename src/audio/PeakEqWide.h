#pragma once
// The equalizer chain for stereo on processors with AVX2 and FMA: a series
// of biquads run as a wavefront. See PeakEqWide.cpp.

namespace velmo::audio::wide {

// One biquad in transposed direct form II with its state for left and right.
struct StereoStage {
    double b0, b1, b2, a1, a2;
    double z1[2], z2[2];
};

// True when the processor runs the wide kernel.
bool available();

// Runs `count` stages in series over `frames` interleaved stereo frames in
// place and updates the stages' state: the same as filtering the frames by
// each stage in turn, rounded once per stage instead of twice.
void processStereo(StereoStage* stages, int count, float* samples, int frames);

}  // namespace velmo::audio::wide
