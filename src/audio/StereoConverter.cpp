#include "audio/StereoConverter.h"

#include "audio/FfmpegApi.h"
#include "audio/bass.h"

#include <bit>

namespace velmo::audio {

SwrContext* StereoConverter::build(uint64_t channelMask, int channels, int rate, int deviceRate, int* error) {
    const FfmpegApi& f = ffmpeg();
    AVChannelLayout in{};
    if (channelMask && std::popcount(channelMask) == channels) {
        in.order = AV_CHANNEL_ORDER_NATIVE;
        in.nb_channels = channels;
        in.u.mask = channelMask;
    } else {
        f.av_channel_layout_default(&in, channels);
    }
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* swr = nullptr;
    int result = f.swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_FLT, deviceRate, &in, AV_SAMPLE_FMT_FLT, rate, 0,
                                       nullptr);
    if (result >= 0 && channels == 1) {
        // A mono recording is meant to sound from both speakers as loud as
        // from one; libswresample would spread it at -3 dB.
        const double both[2] = {1.0, 1.0};
        result = f.swr_set_matrix(swr, both, 1);
    }
    if (result >= 0)
        result = f.swr_init(swr);
    if (result < 0) {
        f.swr_free(&swr);
        // Whatever the reason (a layout it does not know, a rate so high that
        // its filter would not fit in memory), the stream cannot be played.
        *error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    return swr;
}

std::unique_ptr<StereoConverter> StereoConverter::make(uint64_t channelMask, int channels, int rate, int deviceRate,
                                                       int* error) {
    SwrContext* swr = build(channelMask, channels, rate, deviceRate, error);
    if (!swr)
        return nullptr;
    std::unique_ptr<StereoConverter> converter(new StereoConverter);
    converter->m_swr = swr;
    converter->m_mask = channelMask;
    converter->m_channels = channels;
    converter->m_rate = rate;
    converter->m_deviceRate = deviceRate;
    return converter;
}

StereoConverter::~StereoConverter() { ffmpeg().swr_free(&m_swr); }

int StereoConverter::convert(const float* in, int frames, float* out, int capacity) {
    uint8_t* dst = reinterpret_cast<uint8_t*>(out);
    // A non-null input of 0 frames asks only for what is held; null would flush.
    const uint8_t* src = reinterpret_cast<const uint8_t*>(in ? in : out);
    const int got = ffmpeg().swr_convert(m_swr, &dst, capacity, &src, frames);
    return got > 0 ? got : 0;
}

int StereoConverter::flush(float* out, int capacity) {
    uint8_t* dst = reinterpret_cast<uint8_t*>(out);
    const int got = ffmpeg().swr_convert(m_swr, &dst, capacity, nullptr, 0);
    return got > 0 ? got : 0;
}

int64_t StereoConverter::delay() const { return ffmpeg().swr_get_delay(m_swr, m_rate); }

void StereoConverter::reset() {
    // A fresh context: closing and reopening one is not sure to keep a
    // matrix set by hand.
    int error = 0;
    if (SwrContext* fresh = build(m_mask, m_channels, m_rate, m_deviceRate, &error)) {
        ffmpeg().swr_free(&m_swr);
        m_swr = fresh;
    } else {
        ffmpeg().swr_close(m_swr);
        ffmpeg().swr_init(m_swr);
    }
}

}  // namespace velmo::audio
