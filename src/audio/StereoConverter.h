#pragma once
// Turns a stream's frames (its own channel layout and rate) into the
// device's stereo at the device's rate with libswresample: mono on both
// speakers at full level, surround layouts downmixed with their centre and
// surround channels, any rate resampled.

#include <cstdint>
#include <memory>

struct SwrContext;

namespace velmo::audio {

class StereoConverter {
public:
    // `channelMask`: the stream's speakers (AV_CH_* bits), 0 when the file
    // does not name them (the usual layout for the channel count is taken).
    // Returns null when libswresample cannot convert this stream; `error`
    // then holds a BASS_ERROR_*.
    static std::unique_ptr<StereoConverter> make(uint64_t channelMask, int channels, int rate, int deviceRate,
                                                 int* error);
    ~StereoConverter();
    StereoConverter(const StereoConverter&) = delete;
    StereoConverter& operator=(const StereoConverter&) = delete;

    // Feeds `frames` interleaved frames and writes up to `capacity` stereo
    // frames to `out`; what does not fit stays inside for the next call.
    // With frames 0 only what is held comes out. Returns the frames written.
    int convert(const float* in, int frames, float* out, int capacity);
    // At the end of the stream: writes out the last frames held back.
    int flush(float* out, int capacity);
    // Stream frames taken in whose sound has not come out yet.
    int64_t delay() const;
    // Forgets everything held (after a seek).
    void reset();

private:
    StereoConverter() = default;
    static SwrContext* build(uint64_t channelMask, int channels, int rate, int deviceRate, int* error);

    SwrContext* m_swr = nullptr;
    uint64_t m_mask = 0;
    int m_channels = 0;
    int m_rate = 0;
    int m_deviceRate = 0;
};

}  // namespace velmo::audio
