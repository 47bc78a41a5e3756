// The decoder fed by our own MP4 reader: opening a long AAC file costs a
// look at its tables instead of FFmpeg's index of every packet.

#include "audio/Decoder.h"

#include "audio/FfmpegApi.h"
#include "audio/Mp4AacTrack.h"

#include <cstring>

namespace velmo::audio {

namespace {

// A decoder set up for `track`; null when FFmpeg cannot make one.
AVCodecContext* aacDecoder(const Mp4AacTrack& track) {
    const AVCodec* codec = ffmpeg().avcodec_find_decoder(AV_CODEC_ID_AAC);
    AVCodecContext* context = codec ? ffmpeg().avcodec_alloc_context3(codec) : nullptr;
    if (!context)
        return nullptr;
    const std::vector<uint8_t>& config = track.decoderConfig();
    context->extradata = static_cast<uint8_t*>(ffmpeg().av_mallocz(config.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (context->extradata) {
        std::memcpy(context->extradata, config.data(), config.size());
        context->extradata_size = int(config.size());
        context->sample_rate = track.rate();
        ffmpeg().av_channel_layout_default(&context->ch_layout, track.channels());
        context->pkt_timebase = AVRational{1, track.rate()};
        context->thread_count = 1;
        if (ffmpeg().avcodec_open2(context, codec, nullptr) == 0)
            return context;
    }
    ffmpeg().avcodec_free_context(&context);
    return nullptr;
}

}  // namespace

bool Decoder::openTrack(const std::string& path) {
    m_track = Mp4AacTrack::open(path);
    if (!m_track)
        return false;
    m_codec = aacDecoder(*m_track);
    m_frame = ffmpeg().av_frame_alloc();
    m_packet = ffmpeg().av_packet_alloc();
    if (!m_codec || !m_frame || !m_packet)
        return false;
    m_rate = m_track->rate();
    m_channels = m_track->channels();
    m_streamIndex = 0;

    // The decoder has the last word: a stream that turns out to carry
    // spectral band replication (twice the rate) or parametric stereo (two
    // channels from one) is left to FFmpeg's reader, which knows them.
    if (!decodeFrame())
        return false;
    const bool agrees = m_frame->sample_rate == m_rate && m_frame->ch_layout.nb_channels == m_channels;
    ffmpeg().av_frame_unref(m_frame);
    // The file is decoded from the start by a fresh decoder: one that has
    // decoded keeps state a flush does not clear (the noise generator of
    // noise bands).
    ffmpeg().avcodec_free_context(&m_codec);
    m_codec = agrees ? aacDecoder(*m_track) : nullptr;
    return m_codec && rewind();
}

}  // namespace velmo::audio
