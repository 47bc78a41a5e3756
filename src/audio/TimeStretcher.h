#pragma once
// Plays a stream's sound faster or slower with its pitch kept (the SoundTouch
// library: overlap-add of time-domain blocks, cheap enough to run beside the
// decoder on the output thread). Frames go in and come out interleaved at the
// stream's rate and channel count; inputTaken() says which input frame the
// output taken so far has reached.

#include <cstdint>
#include <memory>
#include <vector>

namespace soundtouch {
class SoundTouch;
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
    // The most channels it stretches.
    static constexpr int kMaxChannels = 16;

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
    // The frames of input the output taken so far stands for, counted from
    // the first frame put in after reset().
    double inputTaken() const { return m_inputTaken + m_lead; }

private:
    int64_t outputLeft() const;

    const int m_rate;
    const int m_channels;
    std::unique_ptr<soundtouch::SoundTouch> m_st;
    double m_speed = 1.0;
    double m_inputTaken = 0;  // output taken x the speed it ran at
    double m_lead = 0;        // how far the output runs ahead of that, in input frames
    double m_outputDue = 0;  // output frames the input put so far makes
    int64_t m_outputTaken = 0;
    bool m_lastPut = false;
};

}  // namespace velmo::audio
