#pragma once
// Plays a stream's sound faster or slower with its pitch kept (the Rubber
// Band Library in real-time mode). Frames go in and come out interleaved
// at the stream's rate and channel count; the output starts with the first
// frame put in after reset(), none of the library's start-up delay kept.

#include <cstdint>
#include <memory>
#include <vector>

namespace RubberBand {
class RubberBandStretcher;
}

namespace velmo::audio {

class TimeStretcher {
public:
    TimeStretcher(int rate, int channels);
    ~TimeStretcher();
    TimeStretcher(const TimeStretcher&) = delete;
    TimeStretcher& operator=(const TimeStretcher&) = delete;

    // The most frames put() takes at once.
    static constexpr int kMaxPut = 1024;

    // Forgets everything held; the output starts again with the next input,
    // at `speed` (1 = as recorded, 0.5 = half as fast).
    void reset(double speed);
    // Changes the speed from the frames put in next.
    void setSpeed(double speed);
    double speed() const { return m_speed; }
    // Feeds up to kMaxPut frames; `last` says the input ends with them.
    void put(const float* frames, int count, bool last);
    // Writes up to `maxFrames` frames out; returns the count.
    int take(float* out, int maxFrames);
    // The input has ended (put with `last`).
    bool inputEnded() const { return m_lastPut; }
    // The input has ended and every frame of it came out.
    bool finished() const;
    // The frames of input the output taken so far stands for.
    double inputTaken() const { return m_inputTaken; }

private:
    int available() const;

    const int m_channels;
    std::unique_ptr<RubberBand::RubberBandStretcher> m_rb;
    std::vector<std::vector<float>> m_planes;
    std::vector<float*> m_planePointers;
    double m_speed = 1.0;
    int64_t m_discard = 0;  // start-up frames still to drop
    double m_inputTaken = 0;
    bool m_lastPut = false;
};

}  // namespace velmo::audio
