#include "audio/Decoder.h"

#include "audio/bass.h"

#include "audio/ContainerLength.h"
#include "audio/FfmpegApi.h"
#include "audio/Mp4AacTrack.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace velmo::audio {
namespace {

// Frames decoded before a seek target so that decoders with overlapping
// transforms or a bit reservoir (MP3, AAC, Vorbis, WMA) are settled when
// the target frame comes out: 0.2 s covers several frames of each.
int64_t prerollFrames(int rate) { return std::max<int64_t>(rate / 5, 4096); }

template <typename T>
float sampleToFloat(T v);
template <> float sampleToFloat(uint8_t v) { return (int(v) - 128) / 128.0f; }
template <> float sampleToFloat(int16_t v) { return v / 32768.0f; }
template <> float sampleToFloat(int32_t v) { return float(v / 2147483648.0); }
template <> float sampleToFloat(int64_t v) { return float(double(v) / 9223372036854775808.0); }
template <> float sampleToFloat(float v) { return v; }
template <> float sampleToFloat(double v) { return float(v); }

// Interleaves `frames` frames of `have` source channels into `dst` with
// `want` channels (extra channels silent, surplus dropped).
template <typename T>
void convert(const AVFrame* f, bool planar, int have, int want, int frames, float* dst) {
    const int copy = std::min(have, want);
    for (int c = 0; c < copy; ++c) {
        if (planar) {
            const T* src = reinterpret_cast<const T*>(f->extended_data[c]);
            for (int i = 0; i < frames; ++i)
                dst[i * want + c] = sampleToFloat<T>(src[i]);
        } else {
            const T* src = reinterpret_cast<const T*>(f->extended_data[0]) + c;
            for (int i = 0; i < frames; ++i)
                dst[i * want + c] = sampleToFloat<T>(src[i * have]);
        }
    }
    for (int c = copy; c < want; ++c)
        for (int i = 0; i < frames; ++i)
            dst[i * want + c] = 0.0f;
}

bool fileReadable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

}  // namespace

std::unique_ptr<Decoder> Decoder::open(const std::string& path, bool prescan, int* error) {
    // Without FFmpeg's libraries no file can be decoded here.
    if (!LoadFfmpeg()) {
        *error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    // Failures are reported by result; FFmpeg's own messages would only
    // clutter the terminal.
    ffmpeg().av_log_set_level(AV_LOG_QUIET);
    std::unique_ptr<Decoder> d(new Decoder);
    *error = BASS_OK;
    d->m_path = path;
    if (!d->openTrack(path)) {
        d.reset(new Decoder);
        d->m_path = path;
        if (!d->openInput(path, error))
            return nullptr;
    }
    if (!d->lengthFromContainer() && prescan && !(d->m_coarseTime ? d->runCountingPrescan() : d->runPrescan())) {
        *error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    // A file is audio only when a frame actually decodes; keep that frame as
    // the first one read and as the origin of every position.
    if (!d->decodeFrame()) {
        *error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    d->m_originPts = d->m_frame->best_effort_timestamp;
    if (d->m_oggEnd != AV_NOPTS_VALUE && d->m_originPts != AV_NOPTS_VALUE) {
        const AVStream* stream = d->m_format->streams[d->m_streamIndex];
        d->m_length = std::max<int64_t>(
            0, ffmpeg().av_rescale_q(d->m_oggEnd - d->m_originPts, stream->time_base, AVRational{1, d->m_rate}));
    }
    d->takeFrame();
    // A stream that is played (and so may be sought) labels its Ogg packets
    // beside the decoder.
    if (prescan && d->isOgg() && !d->m_chained)
        d->startOggLabels();
    return d;
}

Decoder::~Decoder() {
    m_oggLabelPass.reset();  // stops the pass and waits for it
    ffmpeg().av_packet_free(&m_packet);
    ffmpeg().av_frame_free(&m_frame);
    ffmpeg().avcodec_free_context(&m_codec);
    ffmpeg().avformat_close_input(&m_format);
}

int Decoder::interruptOpening(void* decoder) {
    // Finding the audio stream reads a few megabytes of a real file. A file
    // that makes FFmpeg read on (gigabytes of zeros named .mp3, which the MP3
    // parser gathers into one frame) is nothing we can play, and reading it
    // all would hold the player up for minutes.
    // FFmpeg also looks for chunks after a WAV file's samples, 8 bytes at a
    // time through gigabytes of preallocated zeros: it need not read far
    // past the data for the chunks that matter.
    constexpr int64_t OpenReadLimit = int64_t(128) << 20;
    const auto* d = static_cast<const Decoder*>(decoder);
    const AVIOContext* pb = d->m_format->pb;
    return d->m_opening && pb && (pb->bytes_read > OpenReadLimit || pb->pos > d->m_openPositionLimit);
}

bool Decoder::openInput(const std::string& path, int* error, Decoder* owner) {
    if (!fileReadable(path)) {
        *error = BASS_ERROR_FILEOPEN;
        return false;
    }
    *error = BASS_ERROR_FILEFORM;
    m_format = ffmpeg().avformat_alloc_context();
    if (!m_format) {
        *error = BASS_ERROR_MEM;
        return false;
    }
    // FFmpeg copies the callback into the file it opens: it must name the
    // decoder that keeps the file.
    m_format->interrupt_callback = {&Decoder::interruptOpening, owner ? owner : this};
    if (const auto wav = wavData(MappedFile(path).bytes()))
        m_openPositionLimit = int64_t(wav->start + wav->bytes) + (int64_t(64) << 10);
    m_opening = true;
    AVDictionary* options = nullptr;
    ffmpeg().av_dict_set(&options, "protocol_whitelist", "file", 0);
    // "file:" keeps a colon in the name from being read as a protocol.
    const std::string url = "file:" + path;
    const int opened = ffmpeg().avformat_open_input(&m_format, url.c_str(), nullptr, &options);
    ffmpeg().av_dict_free(&options);
    if (opened < 0)
        return false;
    if (ffmpeg().avformat_find_stream_info(m_format, nullptr) < 0)
        return false;
    m_chapters = chaptersOf(m_format);
    m_opening = false;
    const AVCodec* codec = nullptr;
    m_streamIndex = ffmpeg().av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (m_streamIndex < 0 || !codec)
        return false;
    for (unsigned i = 0; i < m_format->nb_streams; ++i)
        if (int(i) != m_streamIndex)
            m_format->streams[i]->discard = AVDISCARD_ALL;
    AVStream* stream = m_format->streams[m_streamIndex];
    m_codec = ffmpeg().avcodec_alloc_context3(codec);
    m_frame = ffmpeg().av_frame_alloc();
    m_packet = ffmpeg().av_packet_alloc();
    if (!m_codec || !m_frame || !m_packet) {
        *error = BASS_ERROR_MEM;
        return false;
    }
    if (ffmpeg().avcodec_parameters_to_context(m_codec, stream->codecpar) < 0)
        return false;
    m_codec->pkt_timebase = stream->time_base;
    m_codec->thread_count = 1;
    if (ffmpeg().avcodec_open2(m_codec, codec, nullptr) < 0)
        return false;
    m_rate = stream->codecpar->sample_rate;
    m_channels = stream->codecpar->ch_layout.nb_channels;
    if (m_rate <= 0 || m_channels <= 0 || m_channels > 32)
        return false;
    m_coarseTime = av_q2d(stream->time_base) * m_rate > 1.0;
    m_eightBit = stream->codecpar->format == AV_SAMPLE_FMT_U8 || stream->codecpar->format == AV_SAMPLE_FMT_U8P;

    // Until a prescan says better, the length is the container's estimate.
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        m_length = ffmpeg().av_rescale_q(stream->duration, stream->time_base, AVRational{1, m_rate});
    else if (m_format->duration != AV_NOPTS_VALUE && m_format->duration > 0)
        m_length = ffmpeg().av_rescale(m_format->duration, m_rate, AV_TIME_BASE);
    *error = BASS_OK;
    return true;
}

bool Decoder::readPacket() {
    return m_track ? m_track->read(m_packet) : ffmpeg().av_read_frame(m_format, m_packet) >= 0;
}

bool Decoder::seekPacket(int64_t ts) {
    if (m_track) {
        m_track->seek(ts);
        return true;
    }
    return ffmpeg().av_seek_frame(m_format, m_streamIndex, ts, AVSEEK_FLAG_BACKWARD) >= 0;
}

AVRational Decoder::timeBase() const {
    return m_track ? AVRational{1, m_rate} : m_format->streams[m_streamIndex]->time_base;
}

bool Decoder::runPrescan() {
    const AVStream* stream = m_format->streams[m_streamIndex];
    const bool ogg = isOgg();
    // AAC's decoder gives a whole frame for every packet, the last one too,
    // however short the container says that packet is.
    const int64_t wholeFrame = m_codec->codec_id == AV_CODEC_ID_AAC && m_codec->frame_size > 0
                                   ? ffmpeg().av_rescale_q(m_codec->frame_size, AVRational{1, m_rate}, stream->time_base)
                                   : 0;
    // FFmpeg's Vorbis decoder yields nothing for the first packet.
    const bool firstPacketSilent = m_codec->codec_id == AV_CODEC_ID_VORBIS;
    int64_t duration = 0;  // in the stream's time base
    int64_t trimmed = 0;   // frames the decoder drops (encoder delay, padding)
    int64_t firstDuration = -1;
    int64_t lastPts = AV_NOPTS_VALUE;
    bool complete = true;
    m_oggEnd = AV_NOPTS_VALUE;
    while (readPacket()) {
        if (m_packet->stream_index == m_streamIndex) {
            const int64_t packetDuration = wholeFrame > 0 ? wholeFrame : m_packet->duration;
            if (packetDuration > 0)
                duration += packetDuration;
            else
                complete = false;
            if (firstDuration < 0)
                firstDuration = std::max<int64_t>(0, packetDuration);
            size_t size = 0;
            const uint8_t* skip = ffmpeg().av_packet_get_side_data(m_packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
            // Ogg already cuts the last packet's duration by the end padding.
            if (skip && size >= 8)
                trimmed += int64_t(AV_RL32(skip)) + (ogg ? 0 : int64_t(AV_RL32(skip + 4)));
            // Ogg packet durations are guesses (Vorbis block-size switches
            // make them short by seconds); the granule positions behind the
            // timestamps are exact. Chained Ogg starts them over in every link.
            if (ogg && m_packet->pts != AV_NOPTS_VALUE) {
                if (lastPts != AV_NOPTS_VALUE && m_packet->pts < lastPts)
                    m_chained = true;
                lastPts = m_packet->pts;
                m_oggEnd = m_packet->pts + std::max<int64_t>(0, m_packet->duration);
            }
        }
        ffmpeg().av_packet_unref(m_packet);
    }
    if (m_chained) {
        // Only a decode of every link knows their lengths.
        m_oggEnd = AV_NOPTS_VALUE;
        return rewind() && runCountingPrescan();
    }
    if (firstPacketSilent && firstDuration > 0)
        duration -= firstDuration;
    if (complete || m_oggEnd != AV_NOPTS_VALUE) {
        // Ogg lengths are set once the first frame's timestamp is known.
        m_length = std::max<int64_t>(0, ffmpeg().av_rescale_q(duration, stream->time_base, AVRational{1, m_rate}) - trimmed);
        m_lengthExact = true;
    }
    return rewind();
}

bool Decoder::runCountingPrescan() {
    int64_t frames = 0;
    while (decodeFrame()) {
        const int64_t pts = m_frame->best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE && (m_frameAtPts.empty() || m_frameAtPts.back().first < pts))
            m_frameAtPts.emplace_back(pts, frames);
        frames += m_frame->nb_samples;
        ffmpeg().av_frame_unref(m_frame);
    }
    m_length = frames;
    m_lengthExact = true;
    return rewind();
}

bool Decoder::isOgg() const { return m_format && std::strcmp(m_format->iformat->name, "ogg") == 0; }

bool Decoder::rewind() {
    // A seek to the start of chained Ogg may land at the start of a later
    // link, whose timestamps also begin at 0: open the file afresh instead.
    if (m_chained)
        return reopen();
    m_disturbed = true;
    const AVStream* stream = m_track ? nullptr : m_format->streams[m_streamIndex];
    const int64_t start = stream && stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    // Aim a second before the start: packets that only prime the decoder
    // (AAC's encoder delay in MP4) sit before the start time, and without
    // them the first frames decode differently.
    // Ogg is the exception: there only a seek to the start itself labels the
    // packets as a seek into the middle does.
    const int64_t early = isOgg() ? start : start - ffmpeg().av_rescale_q(1, AVRational{1, 1}, timeBase());
    if (!seekPacket(early) && !seekPacket(start) &&
        ffmpeg().avformat_seek_file(m_format, m_streamIndex, INT64_MIN, start, start, 0) < 0 &&
        ffmpeg().av_seek_frame(m_format, -1, 0, AVSEEK_FLAG_BYTE) < 0)
        return false;
    restartDecoding();
    return true;
}

void Decoder::restartDecoding() {
    ffmpeg().avcodec_flush_buffers(m_codec);
    m_inputDone = false;
    m_ended = false;
    m_pendingFrames = m_pendingOffset = 0;
    m_feedKey = OggPacketKey{};
}

bool Decoder::reopen() {
    // The file is opened beside the current state, which is replaced only
    // once the new one stands: a file that is gone leaves the read where it
    // was.
    Decoder fresh;
    int error = BASS_OK;
    // The file was read once already: its open is not limited again (this
    // decoder is not opening, so the callback lets it read).
    if (!fresh.openInput(m_path, &error, this))
        return false;
    std::swap(m_format, fresh.m_format);
    std::swap(m_codec, fresh.m_codec);
    std::swap(m_frame, fresh.m_frame);
    std::swap(m_packet, fresh.m_packet);
    m_inputDone = m_ended = false;
    m_pendingFrames = m_pendingOffset = 0;
    m_disturbed = true;
    return true;
}

bool Decoder::decodeFrame() {
    if (m_ended)
        return false;
    for (;;) {
        const int received = ffmpeg().avcodec_receive_frame(m_codec, m_frame);
        if (received == 0) {
            if (m_frame->nb_samples > 0)
                return true;
            ffmpeg().av_frame_unref(m_frame);
            continue;
        }
        if (received == AVERROR_EOF || m_inputDone) {
            m_ended = true;
            return false;
        }
        // EAGAIN or a broken packet: feed the next packet.
        if (!readPacket()) {
            ffmpeg().avcodec_send_packet(m_codec, nullptr);
            m_inputDone = true;
            continue;
        }
        if (m_packet->stream_index == m_streamIndex) {
            relabelOggPacket();
            ffmpeg().avcodec_send_packet(m_codec, m_packet);  // a corrupt packet is skipped
        }
        ffmpeg().av_packet_unref(m_packet);
    }
}

void Decoder::relabelOggPacket() {
    // After a seek the Ogg demuxer labels the packets of the first page from
    // block sizes it guessed, off by hundreds of frames; the labels of a
    // read from the start are right. A packet is known by its page and its
    // place on that page.
    if (m_oggLabels.empty())
        return;
    m_feedKey.advance(m_packet->pos);
    const auto it = std::lower_bound(m_oggLabels.begin(), m_oggLabels.end(), m_feedKey,
                                     [](const OggLabel& label, const OggPacketKey& key) { return label.key < key; });
    if (it != m_oggLabels.end() && it->key == m_feedKey)
        m_packet->pts = m_packet->dts = it->pts;
}

void Decoder::takeFrame() {
    const int frames = m_frame->nb_samples;
    m_pending.resize(size_t(frames) * m_channels);
    convertFrame(m_pending.data());
    m_pendingFrames = frames;
    m_pendingOffset = 0;
}

void Decoder::convertFrame(float* dst) {
    const int frames = m_frame->nb_samples;
    const int have = m_frame->ch_layout.nb_channels > 0 ? m_frame->ch_layout.nb_channels : m_channels;
    const auto format = AVSampleFormat(m_frame->format);
    const bool planar = ffmpeg().av_sample_fmt_is_planar(format);
    switch (ffmpeg().av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8: convert<uint8_t>(m_frame, planar, have, m_channels, frames, dst); break;
    case AV_SAMPLE_FMT_S16: convert<int16_t>(m_frame, planar, have, m_channels, frames, dst); break;
    case AV_SAMPLE_FMT_S32: convert<int32_t>(m_frame, planar, have, m_channels, frames, dst); break;
    case AV_SAMPLE_FMT_S64: convert<int64_t>(m_frame, planar, have, m_channels, frames, dst); break;
    case AV_SAMPLE_FMT_FLT: convert<float>(m_frame, planar, have, m_channels, frames, dst); break;
    case AV_SAMPLE_FMT_DBL: convert<double>(m_frame, planar, have, m_channels, frames, dst); break;
    default: std::fill(dst, dst + size_t(frames) * m_channels, 0.0f); break;
    }
    ffmpeg().av_frame_unref(m_frame);
}

int64_t Decoder::frameIndexOf(const AVFrame* frame) const {
    if (!m_frameAtPts.empty()) {
        const int64_t pts = frame->best_effort_timestamp;
        auto it = std::lower_bound(m_frameAtPts.begin(), m_frameAtPts.end(), std::make_pair(pts, INT64_MIN));
        if (it != m_frameAtPts.end() && it->first == pts)
            return it->second;
    }
    return ffmpeg().av_rescale_q_rnd(frame->best_effort_timestamp - m_originPts, timeBase(), AVRational{1, m_rate},
                            AVRounding(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

int Decoder::read(float* dst, int maxFrames) {
    // The exact length also cuts padding that a decoder leaves in after a
    // seek or that the container marks only by its durations (AAC in MP4).
    if (m_lengthExact)
        maxFrames = int(std::clamp<int64_t>(m_length - m_position, 0, maxFrames));
    int done = 0;
    while (done < maxFrames) {
        if (m_pendingOffset >= m_pendingFrames) {
            if (!decodeFrame()) {
                // Once the end has been decoded the length is known: a file
                // that stops early is as long as what decodes, and an
                // estimate gives way to the count.
                if (!m_lengthExact || m_position + done < m_length) {
                    m_length = m_position + done;
                    m_lengthExact = true;
                }
                break;
            }
            // A frame that fits goes straight to the caller.
            if (m_frame->nb_samples <= maxFrames - done) {
                const int frames = m_frame->nb_samples;
                convertFrame(dst + size_t(done) * m_channels);
                done += frames;
                continue;
            }
            takeFrame();
        }
        const int n = std::min(maxFrames - done, m_pendingFrames - m_pendingOffset);
        std::memcpy(dst + size_t(done) * m_channels, m_pending.data() + size_t(m_pendingOffset) * m_channels,
                    sizeof(float) * size_t(n) * m_channels);
        m_pendingOffset += n;
        done += n;
    }
    m_position += done;
    return done;
}

bool Decoder::seek(int64_t target) {
    const int64_t before = m_position;
    m_disturbed = false;
    if (seekTo(target))
        return true;
    if (!m_disturbed)
        return false;  // nothing moved: the read goes on where it was
    // A failed seek leaves the demuxer and the decoder anywhere in between:
    // go back to where the read was, so that the position and what plays
    // next agree. When even that fails nothing more plays from here.
    if (!seekTo(before)) {
        m_inputDone = m_ended = true;
        m_pendingFrames = m_pendingOffset = 0;
        m_position = before;
    }
    return false;
}

bool Decoder::seekTo(int64_t target) {
    if (target < 0)
        target = 0;
    if (isOgg() && !m_oggLabelsCollected && !m_chained)
        takeOggLabels();
    if (!m_mp3Indexed)
        indexMp3Frames();
    // Chained Ogg starts its timestamps over in every link: there frames are
    // counted from the start.
    const bool timed = m_originPts != AV_NOPTS_VALUE && !m_chained;
    int64_t preroll = prerollFrames(m_rate);
    for (int attempt = 0; attempt < 4; ++attempt, preroll *= 4) {
        const int64_t from = target - preroll;
        bool moved;
        if (!timed || from <= 0) {
            moved = rewind();
        } else {
            const int64_t ts = m_originPts + ffmpeg().av_rescale_q(from, AVRational{1, m_rate}, timeBase());
            m_disturbed = true;
            moved = seekPacket(ts) || ffmpeg().avformat_seek_file(m_format, m_streamIndex, INT64_MIN, ts, ts, 0) >= 0;
            if (moved)
                restartDecoding();
            else {
                moved = rewind();
            }
        }
        if (!moved)
            return false;

        // Walk forward: whole frames before the target are dropped, the one
        // holding it is trimmed. Without timestamps, frames are counted.
        int64_t index = 0;
        const bool intoMiddle = timed && from > 0;
        bool first = true;
        // Leaves by returning, or by a break when the demuxer landed late.
        bool skippedFirst = false;
        for (;;) {
            if (!decodeFrame()) {
                m_position = target;  // past the end
                return true;
            }
            // After a seek into the middle the first frame comes from a
            // decoder without history and its timestamp may be off (Ogg
            // labels it from guessed Vorbis block sizes). It lies in the
            // preroll: drop it and let the next frame's timestamp place us.
            if (intoMiddle && !skippedFirst) {
                skippedFirst = true;
                ffmpeg().av_frame_unref(m_frame);
                continue;
            }
            // The first frame's timestamp places it; later ones follow on.
            // After a rewind that holds too where timestamps name samples: a
            // decoder that dropped its start (Opus pre-skip) on the first
            // read may not do so again, and the timestamp shows it.
            if (first && timed && (from > 0 || !m_coarseTime) && m_frame->best_effort_timestamp != AV_NOPTS_VALUE)
                index = frameIndexOf(m_frame);
            if (first && index > target && from > 0)
                break;  // the demuxer landed late: seek further back
            first = false;
            const int frames = m_frame->nb_samples;
            if (index + frames > target) {
                takeFrame();
                m_pendingOffset = int(std::max<int64_t>(0, target - index));
                m_position = target;
                return true;
            }
            index += frames;
            ffmpeg().av_frame_unref(m_frame);
        }
        ffmpeg().av_frame_unref(m_frame);
    }
    return false;
}

uint64_t Decoder::channelMask() const {
    const AVChannelLayout& layout = m_codec->ch_layout;
    return layout.order == AV_CHANNEL_ORDER_NATIVE && layout.nb_channels == m_channels ? layout.u.mask : 0;
}

}  // namespace velmo::audio
