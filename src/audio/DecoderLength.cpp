// The decoder's exact length from the container's own facts, and the Ogg
// packet labels that make seeks in Ogg exact.

#include "audio/Decoder.h"

#include "audio/ContainerLength.h"
#include "audio/Mp3FrameWalk.h"
#include "audio/Mp4AacTrack.h"
#include "audio/FfmpegApi.h"
#include "audio/bass.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <cstring>

namespace velmo::audio {
namespace {

// The timestamps a read from the start of an Ogg file should give its
// packets. The demuxer's own come from the page's granule position minus
// the durations of the packets before it on the page, and its Vorbis
// durations are guesses: within a page they drift by hundreds of frames
// and jump back at the next. The Vorbis parser knows each packet's block
// size and so the frames it decodes to.
class OggTimeline {
public:
    explicit OggTimeline(const AVCodecContext* codec) {
        if (codec->codec_id == AV_CODEC_ID_VORBIS && codec->extradata)
            m_vorbis = ffmpeg().av_vorbis_parse_init(codec->extradata, codec->extradata_size);
    }
    ~OggTimeline() { ffmpeg().av_vorbis_parse_free(&m_vorbis); }
    OggTimeline(const OggTimeline&) = delete;
    OggTimeline& operator=(const OggTimeline&) = delete;

    // The timestamp of `packet`, the next one of the stream.
    int64_t next(const AVPacket& packet) {
        const int frames = m_vorbis ? ffmpeg().av_vorbis_parse_frame(m_vorbis, packet.data, packet.size) : -1;
        if (frames < 0 || m_next == AV_NOPTS_VALUE) {
            // No parser, or the parser lost count: the demuxer's word.
            m_next = packet.pts;
            if (packet.pts == AV_NOPTS_VALUE)
                return AV_NOPTS_VALUE;
            if (frames < 0)
                m_next += std::max<int64_t>(0, packet.duration);
            else
                m_next += frames;
            return packet.pts;
        }
        const int64_t pts = m_next;
        m_next += frames;
        return pts;
    }

private:
    AVVorbisParseContext* m_vorbis = nullptr;
    int64_t m_next = AV_NOPTS_VALUE;
};

bool formatIs(const AVFormatContext* format, const char* name) { return std::strcmp(format->iformat->name, name) == 0; }

}  // namespace

bool Decoder::lengthFromContainer() {
    if (m_track) {
        m_length = m_track->frames();
        m_lengthExact = true;
        return true;
    }
    const AVStream* stream = m_format->streams[m_streamIndex];
    const MappedFile file(m_path);
    const auto bytes = file.bytes();
    if (bytes.empty())
        return false;
    std::optional<int64_t> frames;
    if (formatIs(m_format, "wav")) {
        frames = wavFrames(bytes);
    } else if (formatIs(m_format, "flac")) {
        frames = flacFrames(bytes);
    } else if (formatIs(m_format, "mp3")) {
        if (const auto mp3 = mp3Frames(file); mp3 && mp3->samplesPerFrame * int64_t(m_rate) > 0)
            frames = mp3->frames;
    } else if (isOgg()) {
        // The length is the end's timestamp less the first decoded frame's,
        // known once that frame is decoded.
        const auto end = oggEnd(bytes);
        if (!end || stream->time_base.num != 1 || stream->time_base.den != m_rate)
            return false;
        // Opus timestamps leave out the pre-skip its granules count.
        m_oggEnd = end->granule - (m_codec->codec_id == AV_CODEC_ID_OPUS ? stream->codecpar->initial_padding : 0);
        m_lengthExact = true;
        return true;
    } else if (std::strstr(m_format->iformat->name, "mp4")) {
        frames = mp4Frames();
    }
    if (!frames)
        return false;
    m_length = *frames;
    m_lengthExact = true;
    return true;
}

std::optional<int64_t> Decoder::mp4Frames() {
    // AAC decodes every packet to one whole frame: the sample table's count
    // of packets times the frame, less the priming the edit list skips.
    const AVStream* stream = m_format->streams[m_streamIndex];
    const int64_t packets = ffmpeg().avformat_index_get_entries_count(stream);
    if (m_codec->codec_id != AV_CODEC_ID_AAC || m_codec->frame_size <= 0 || packets <= 0)
        return std::nullopt;
    int64_t skipped = 0;
    while (readPacket()) {
        const bool ours = m_packet->stream_index == m_streamIndex;
        size_t size = 0;
        const uint8_t* skip = ffmpeg().av_packet_get_side_data(m_packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
        if (ours && skip && size >= 8)
            skipped = int64_t(AV_RL32(skip)) + int64_t(AV_RL32(skip + 4));
        ffmpeg().av_packet_unref(m_packet);
        if (ours)
            break;
    }
    if (!rewind())
        return std::nullopt;
    const int64_t frames = packets * m_codec->frame_size - skipped;
    // A table that does not cover the stream's duration (a fragmented file
    // whose fragments are not all indexed) is not the whole story.
    const int64_t stated = stream->duration > 0 ? ffmpeg().av_rescale_q(stream->duration, stream->time_base, AVRational{1, m_rate}) : -1;
    if (frames < 0 || stated < 0 || std::abs(frames - stated) > 2 * m_codec->frame_size + skipped)
        return std::nullopt;
    return frames;
}

void Decoder::indexMp3Frames() {
    m_mp3Indexed = true;
    if (!m_format || !formatIs(m_format, "mp3"))
        return;
    AVStream* stream = m_format->streams[m_streamIndex];
    const MappedFile file(m_path);
    // Every 16th frame: seeks read at most 15 frames on from an entry,
    // and ten hours take some 2 MB of index.
    constexpr int64_t Spacing = 16;
    int64_t frame = 0;
    mp3Frames(file, [&](uint64_t offset, int64_t firstSample) {
        if (frame++ % Spacing == 0)
            ffmpeg().av_add_index_entry(stream, int64_t(offset),
                                        ffmpeg().av_rescale_q(firstSample, AVRational{1, m_rate}, stream->time_base), 0, 0,
                                        AVINDEX_KEYFRAME);
    });
}

// Every packet's timestamp from the start; `chained` when timestamps start
// over (the links of a chain). Stops early, with nothing, once `stop` is set.
struct Decoder::OggLabelPass {
    std::atomic<bool> stop{false};
    std::vector<OggLabel> labels;
    bool chained = false;
    std::thread thread;
    ~OggLabelPass() {
        stop = true;
        if (thread.joinable())
            thread.join();
    }

    // Reads every packet of `d`'s stream from where `d` stands.
    void run(Decoder& d) {
        OggPacketKey key;
        OggTimeline timeline(d.m_codec);
        int64_t lastPts = AV_NOPTS_VALUE;
        while (!stop && d.readPacket()) {
            const AVPacket& packet = *d.m_packet;
            if (packet.stream_index == d.m_streamIndex) {
                key.advance(packet.pos);
                const int64_t label = timeline.next(packet);
                if (label != AV_NOPTS_VALUE && packet.pos >= 0)
                    labels.push_back({key, label});
                // Timestamps start over in every link of a chained file.
                if (packet.pts != AV_NOPTS_VALUE) {
                    if (lastPts != AV_NOPTS_VALUE && packet.pts < lastPts)
                        chained = true;
                    lastPts = packet.pts;
                }
            }
            ffmpeg().av_packet_unref(d.m_packet);
        }
        if (stop)
            labels.clear();
        // Positions only grow in a file read once through; sorting keeps the
        // lookup sound should a demuxer ever report them otherwise.
        std::sort(labels.begin(), labels.end(), [](const OggLabel& a, const OggLabel& b) { return a.key < b.key; });
    }
};

void Decoder::startOggLabels() {
    auto pass = std::make_shared<OggLabelPass>();
    // The pass reads the file through a reader of its own. Without a thread
    // to spare, the first seek makes the pass itself.
    try {
        pass->thread = std::thread([pass = pass.get(), path = m_path] {
            Decoder reader;
            int error = BASS_OK;
            if (reader.openInput(path, &error, &reader) && !pass->stop)
                pass->run(reader);
        });
    } catch (const std::system_error&) {
        return;
    }
    m_oggLabelPass = std::move(pass);
}

void Decoder::takeOggLabels() {
    m_oggLabelsCollected = true;
    std::shared_ptr<OggLabelPass> pass = std::move(m_oggLabelPass);
    if (pass) {
        pass->thread.join();
    } else {
        pass = std::make_shared<OggLabelPass>();
        if (!rewind())
            return;
        pass->run(*this);
    }
    m_oggLabels = std::move(pass->labels);
    if (pass->chained) {
        // A chain whose links share one serial number: frames are counted.
        m_chained = true;
        m_oggLabels.clear();
        m_oggEnd = AV_NOPTS_VALUE;
        if (rewind())
            runCountingPrescan();
    }
}

}  // namespace velmo::audio
