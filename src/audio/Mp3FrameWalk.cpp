#include "audio/Mp3FrameWalk.h"

#include "audio/ByteFields.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace velmo::audio {

using namespace bytes;

namespace {

struct MpegHeader {
    int version = 0;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer = 0;    // 1, 2, 3
    int rate = 0;
    int size = 0;     // bytes of the whole frame
    int samples = 0;  // per frame
    bool mono = false;
    bool sameStream(const MpegHeader& o) const { return version == o.version && layer == o.layer && rate == o.rate; }
};

std::optional<MpegHeader> mpegHeader(const uint8_t* p) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return std::nullopt;
    MpegHeader h;
    h.version = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (h.version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;  // reserved, or free format (counted by packets)
    h.layer = 4 - layerBits;
    static constexpr int Kbps[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2 layer I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2 layers II, III
    };
    static constexpr int Rates[3] = {44100, 48000, 32000};
    const bool mpeg1 = h.version == 3;
    const int kbps = Kbps[mpeg1 ? h.layer - 1 : (h.layer == 1 ? 3 : 4)][bitrateIndex];
    h.rate = Rates[rateIndex] >> (mpeg1 ? 0 : h.version == 2 ? 1 : 2);
    const int padding = (p[2] >> 1) & 1;
    const int64_t bits = int64_t(kbps) * 1000;
    if (h.layer == 1) {
        h.size = int((12 * bits / h.rate + padding) * 4);
        h.samples = 384;
    } else {
        const int perSample = h.layer == 3 && !mpeg1 ? 72 : 144;
        h.size = int(perSample * bits / h.rate + padding);
        h.samples = h.layer == 3 && !mpeg1 ? 576 : 1152;
    }
    h.mono = (p[3] >> 6) == 3;
    return h;
}

// What the first frame may say about the whole stream.
struct InfoTag {
    bool present = false;  // a Xing/Info frame, not audio
    int64_t frames = -1;   // frames after the tag frame, when stated
    int64_t bytes = -1;    // bytes of the stream, when stated
    int64_t delay = -1;    // encoder delay and padding from the LAME tag
    int64_t padding = -1;
    bool vbri = false;
};

InfoTag infoTag(const uint8_t* p, const MpegHeader& h) {
    InfoTag tag;
    auto fits = [&](int at, int n) { return at + n <= h.size; };
    if (fits(36, 4) && std::memcmp(p + 36, "VBRI", 4) == 0) {
        tag.vbri = true;
        return tag;
    }
    if (h.layer != 3)
        return tag;
    int at = 4 + (h.version == 3 ? (h.mono ? 17 : 32) : (h.mono ? 9 : 17));
    if (!fits(at, 8) || !(std::memcmp(p + at, "Xing", 4) == 0 || std::memcmp(p + at, "Info", 4) == 0))
        return tag;
    const uint32_t flags = be32(p + at + 4);
    at += 8;
    if ((flags & 1) && fits(at, 4))
        tag.frames = be32(p + at), at += 4;
    if ((flags & 2) && fits(at, 4))
        tag.bytes = be32(p + at), at += 4;
    if (flags & 4)
        at += 100;
    if (flags & 8)
        at += 4;
    // A tag that states neither count is no tag to FFmpeg: the frame plays.
    tag.present = tag.frames >= 0 || tag.bytes >= 0;
    if (fits(at, 24) && (std::memcmp(p + at, "LAME", 4) == 0 || std::memcmp(p + at, "Lavf", 4) == 0 ||
                         std::memcmp(p + at, "Lavc", 4) == 0)) {
        const uint32_t v = be24(p + at + 21);
        tag.delay = v >> 12;
        tag.padding = v & 0xFFF;
    }
    return tag;
}

// Where the audio ends: before an ID3v1 tag and an APE tag at the end.
size_t audioEnd(Bytes b) {
    size_t end = b.size();
    if (end >= 128 && tagAt(b, end - 128, "TAG"))
        end -= 128;
    if (end >= 32 && tagAt(b, end - 32, "APETAGEX")) {
        const uint8_t* footer = b.data() + end - 32;
        const size_t size = le32(footer + 12) + ((le32(footer + 20) & 0x80000000u) ? 32 : 0);
        end = size <= end ? end - size : end;
    }
    return end;
}

// A file read front to back through one buffer that stays in the cache.
class ChunkReader {
public:
    ChunkReader(int fd, size_t end) : m_fd(fd), m_end(end), m_buffer(Chunk) {}
    // The `n` bytes at `at`; null when they pass the end.
    const uint8_t* at(size_t at, size_t n) {
        if (at + n > m_end)
            return nullptr;
        if (at < m_start || at + n > m_start + m_held) {
            m_start = at;
            m_held = 0;
            const size_t want = std::min(Chunk, m_end - at);
            while (m_held < want) {
                const ssize_t got = ::pread(m_fd, m_buffer.data() + m_held, want - m_held, off_t(at + m_held));
                if (got <= 0)
                    return nullptr;
                m_held += size_t(got);
            }
            if (n > m_held)
                return nullptr;
        }
        return m_buffer.data() + (at - m_start);
    }

private:
    static constexpr size_t Chunk = size_t(256) << 10;
    int m_fd;
    size_t m_end;
    std::vector<uint8_t> m_buffer;
    size_t m_start = 0;
    size_t m_held = 0;
};

// The largest MPEG audio frame (layer II at 384 kbit/s, 8 kHz) and the
// header after it.
constexpr size_t MaxFrame = 2881 + 4;

// A frame at `at` that the next frame follows: where a stream can be
// trusted to start again.
template <typename Read>
bool syncedAt(Read&& read, size_t at, size_t end, const MpegHeader* like) {
    const uint8_t* p = read(at, 4);
    if (!p)
        return false;
    const auto h = mpegHeader(p);
    if (!h || (like && !h->sameStream(*like)))
        return false;
    const size_t next = at + size_t(h->size);
    if (next == end)
        return true;
    const uint8_t* q = read(at, size_t(h->size) + 4);
    if (!q)
        return false;
    const auto n = mpegHeader(q + h->size);
    return n && n->sameStream(*h);
}

}  // namespace

std::optional<Mp3Facts> mp3Frames(const MappedFile& file, const Mp3FrameVisitor& eachFrame) {
    const Bytes b = file.bytes();
    const size_t end = audioEnd(b);
    auto mapped = [&](size_t at, size_t n) { return at + n <= end ? b.data() + at : nullptr; };
    size_t at = afterId3v2(b);
    // Junk before the first frame is skipped, as FFmpeg does, within reason.
    const size_t searchEnd = std::min(end, at + (size_t(1) << 16));
    while (at < searchEnd && !syncedAt(mapped, at, end, nullptr))
        ++at;
    if (at >= searchEnd)
        return std::nullopt;
    const MpegHeader first = *mpegHeader(b.data() + at);
    const InfoTag tag = infoTag(b.data() + at, first);
    if (tag.vbri)
        return std::nullopt;
    const size_t streamStart = at;
    if (tag.present)
        at += size_t(first.size);

    Mp3Facts facts;
    facts.samplesPerFrame = first.samples;
    int64_t frames = tag.frames;
    // The tag's counts hold when its byte count is the stream's size.
    const int64_t streamBytes = int64_t(end - streamStart);
    const bool tagHolds = tag.frames > 0 && tag.bytes > 0 &&
                          (tag.bytes == streamBytes || tag.bytes == streamBytes - first.size);
    if (!tagHolds || eachFrame) {
        ChunkReader reader(file.descriptor(), end);
        auto read = [&](size_t pos, size_t n) { return reader.at(pos, n); };
        frames = 0;
        while (const uint8_t* p = reader.at(at, std::min(MaxFrame, end - at))) {
            if (end - at < 4)
                break;
            const auto h = mpegHeader(p);
            if (h && h->sameStream(first) && at + size_t(h->size) <= end) {
                if (eachFrame)
                    eachFrame(at, frames * first.samples);
                ++frames;
                at += size_t(h->size);
                continue;
            }
            if (h && h->sameStream(first))
                break;  // a frame cut short at the end: it does not decode
            // Lost sync: on to the next frame that the one after it follows.
            do
                ++at;
            while (at + 4 <= end && !syncedAt(read, at, end, &first));
        }
        facts.walked = true;
    }

    // FFmpeg skips the encoder delay (and its decoder's 529 frames) from the
    // start and drops the padding at the end, where the tag's frame count
    // says the stream ends.
    const int64_t spf = first.samples;
    const int64_t decoded = frames * spf;
    int64_t trimmed = 0;
    if (tag.delay >= 0) {
        constexpr int64_t DecoderDelay = 529;
        trimmed += std::min(decoded, tag.delay + DecoderDelay);
        if (tag.frames > 0) {
            const int64_t discardFrom = tag.frames * spf - tag.padding + DecoderDelay;
            const int64_t discardTo = tag.frames * spf;
            trimmed += std::max<int64_t>(0, std::min(decoded, discardTo) - discardFrom);
        }
    }
    facts.frames = std::max<int64_t>(0, decoded - trimmed);
    return facts;
}

}  // namespace velmo::audio
