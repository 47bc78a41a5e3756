#include "audio/ContainerLength.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmo::audio {

MappedFile::MappedFile(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    struct stat st {};
    if (::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        void* data = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, m_fd, 0);
        if (data != MAP_FAILED) {
            m_data = static_cast<const uint8_t*>(data);
            m_size = size_t(st.st_size);
        }
    }
}

MappedFile::~MappedFile() {
    if (m_data)
        ::munmap(const_cast<uint8_t*>(m_data), m_size);
    if (m_fd >= 0)
        ::close(m_fd);
}

namespace {

using Bytes = std::span<const uint8_t>;

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }
uint64_t le64(const uint8_t* p) { return le32(p) | uint64_t(le32(p + 4)) << 32; }
uint32_t be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t be24(const uint8_t* p) { return be16(p) << 8 | p[2]; }
uint32_t be32(const uint8_t* p) { return be16(p) << 16 | be16(p + 2); }
bool tagAt(Bytes b, size_t at, const char* tag) {
    const size_t n = std::strlen(tag);
    return at + n <= b.size() && std::memcmp(b.data() + at, tag, n) == 0;
}

// Where the audio starts after any ID3v2 tags in front.
size_t afterId3v2(Bytes b) {
    size_t at = 0;
    while (tagAt(b, at, "ID3") && at + 10 <= b.size()) {
        const uint8_t* h = b.data() + at;
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80)
            break;  // not a syncsafe size: no tag
        const size_t size = size_t(h[6]) << 21 | size_t(h[7]) << 14 | size_t(h[8]) << 7 | h[9];
        at += 10 + size + ((h[5] & 0x10) ? 10 : 0);
    }
    return std::min(at, b.size());
}

// ---- WAV ----------------------------------------------------------------------

}  // namespace

std::optional<WavData> wavData(Bytes b) {
    const bool rf64 = tagAt(b, 0, "RF64") || tagAt(b, 0, "BW64");
    if (!(tagAt(b, 0, "RIFF") || rf64) || !tagAt(b, 8, "WAVE"))
        return std::nullopt;
    uint64_t ds64Data = 0;
    WavData wav;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const uint8_t* chunk = b.data() + at;
        const uint32_t size = le32(chunk + 4);
        if (tagAt(b, at, "ds64") && size >= 16 && at + 8 + 16 <= b.size()) {
            ds64Data = le64(chunk + 16);
        } else if (tagAt(b, at, "fmt ") && size >= 16 && at + 8 + 16 <= b.size()) {
            uint32_t format = le16(chunk + 8);
            // The extensible header names the format in its sub-format.
            if (format == 0xFFFE && size >= 40 && at + 8 + 26 <= b.size())
                format = le16(chunk + 8 + 24);
            wav.pcm = format == 1 || format == 3;
            wav.blockAlign = le16(chunk + 8 + 12);
        } else if (tagAt(b, at, "data")) {
            wav.start = at + 8;
            const uint64_t held = b.size() - wav.start;
            uint64_t bytes = size;
            if (rf64 && size == 0xFFFFFFFFu)
                bytes = ds64Data;
            // A size of 0 or all ones: written while recording, the data
            // runs to the end of the file.
            if (bytes == 0 || bytes == 0xFFFFFFFFu)
                bytes = held;
            wav.bytes = std::min(bytes, held);
            return wav;
        }
        at += 8 + uint64_t(size) + (size & 1);
    }
    return std::nullopt;
}

std::optional<int64_t> wavFrames(Bytes b) {
    const auto wav = wavData(b);
    if (!wav || !wav->pcm || wav->blockAlign == 0)
        return std::nullopt;
    return int64_t(wav->bytes / wav->blockAlign);
}

// ---- FLAC ---------------------------------------------------------------------

namespace {

uint8_t crc8(const uint8_t* p, size_t n) {
    uint8_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = uint8_t((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

uint16_t crc16(const uint8_t* p, size_t n) {
    static const auto table = [] {
        std::array<uint16_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            uint16_t c = uint16_t(i << 8);
            for (int k = 0; k < 8; ++k)
                c = uint16_t((c & 0x8000) ? (c << 1) ^ 0x8005 : c << 1);
            t[size_t(i)] = c;
        }
        return t;
    }();
    uint16_t crc = 0;
    for (size_t i = 0; i < n; ++i)
        crc = uint16_t(crc << 8) ^ table[(crc >> 8) ^ p[i]];
    return crc;
}

struct FlacFrame {
    bool variable = false;  // the header numbers samples, not frames
    uint64_t number = 0;
    uint32_t blockSize = 0;
};

// The frame header at `p` (at most `n` bytes), checked by its CRC-8.
std::optional<FlacFrame> flacFrameHeader(const uint8_t* p, size_t n) {
    if (n < 6 || p[0] != 0xFF || (p[1] & 0xFE) != 0xF8)
        return std::nullopt;
    FlacFrame f;
    f.variable = p[1] & 1;
    const int sizeCode = p[2] >> 4;
    const int rateCode = p[2] & 0x0F;
    if (sizeCode == 0 || rateCode == 15 || (p[3] & 1))
        return std::nullopt;
    // The frame or sample number, UTF-8 coded.
    size_t at = 4;
    const uint8_t lead = p[at++];
    int extra = 0;
    if (lead < 0x80)
        f.number = lead;
    else if ((lead & 0xE0) == 0xC0)
        f.number = lead & 0x1F, extra = 1;
    else if ((lead & 0xF0) == 0xE0)
        f.number = lead & 0x0F, extra = 2;
    else if ((lead & 0xF8) == 0xF0)
        f.number = lead & 0x07, extra = 3;
    else if ((lead & 0xFC) == 0xF8)
        f.number = lead & 0x03, extra = 4;
    else if ((lead & 0xFE) == 0xFC)
        f.number = lead & 0x01, extra = 5;
    else if (lead == 0xFE)
        f.number = 0, extra = 6;
    else
        return std::nullopt;
    for (int i = 0; i < extra; ++i) {
        if (at >= n || (p[at] & 0xC0) != 0x80)
            return std::nullopt;
        f.number = f.number << 6 | (p[at++] & 0x3F);
    }
    if (sizeCode == 1)
        f.blockSize = 192;
    else if (sizeCode <= 5)
        f.blockSize = 576u << (sizeCode - 2);
    else if (sizeCode == 6 && at + 1 <= n)
        f.blockSize = p[at++] + 1u;
    else if (sizeCode == 7 && at + 2 <= n)
        f.blockSize = be16(p + at) + 1u, at += 2;
    else if (sizeCode >= 8)
        f.blockSize = 256u << (sizeCode - 8);
    else
        return std::nullopt;
    if (rateCode == 12)
        at += 1;
    else if (rateCode == 13 || rateCode == 14)
        at += 2;
    if (at >= n || crc8(p, at) != p[at])
        return std::nullopt;
    return f;
}

}  // namespace

std::optional<int64_t> flacFrames(Bytes b) {
    size_t at = afterId3v2(b);
    if (!tagAt(b, at, "fLaC") || at + 4 + 4 + 34 > b.size())
        return std::nullopt;
    at += 4;
    // STREAMINFO is the first metadata block.
    const uint8_t* info = b.data() + at + 4;
    if ((b[at] & 0x7F) != 0)
        return std::nullopt;
    const uint32_t maxBlock = be16(info + 2);
    const int64_t total = int64_t(info[13] & 0x0F) << 32 | be32(info + 14);
    if (total == 0)
        return std::nullopt;
    // Skip the metadata blocks to the first frame.
    for (bool last = false; !last;) {
        if (at + 4 > b.size())
            return std::nullopt;
        last = b[at] & 0x80;
        at += 4 + be24(b.data() + at + 1);
    }
    // The last frame: the last header from which the rest of the file is
    // one frame with a matching CRC-16. Frames are rarely larger than a
    // megabyte; a file that needs more is counted.
    constexpr size_t Window = size_t(1) << 20;
    const size_t end = b.size();
    const size_t lowest = std::max(at, end > Window ? end - Window : size_t(0));
    for (size_t pos = end >= 2 ? end - 2 : 0; pos + 1 > lowest && pos < end; --pos) {
        if (b[pos] != 0xFF || (b[pos + 1] & 0xFE) != 0xF8)
            continue;
        const auto frame = flacFrameHeader(b.data() + pos, end - pos);
        if (!frame || crc16(b.data() + pos, end - pos) != 0)
            continue;
        const uint64_t first = frame->variable ? frame->number : frame->number * maxBlock;
        if (int64_t(first + frame->blockSize) != total)
            return std::nullopt;
        return total;
    }
    return std::nullopt;
}

// ---- Ogg ----------------------------------------------------------------------

namespace {

uint32_t oggCrc(const uint8_t* p, size_t n) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i << 24;
            for (int k = 0; k < 8; ++k)
                c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        // The checksum field itself counts as zeros.
        const uint8_t byte = (i >= 22 && i < 26) ? 0 : p[i];
        crc = (crc << 8) ^ table[(crc >> 24) ^ byte];
    }
    return crc;
}

struct OggPage {
    uint8_t flags = 0;
    int64_t granule = 0;
    uint32_t serial = 0;
    size_t size = 0;  // header and body
};

// The page at `at`, checked by its CRC.
std::optional<OggPage> oggPage(Bytes b, size_t at) {
    if (!tagAt(b, at, "OggS") || at + 27 > b.size() || b[at + 4] != 0)
        return std::nullopt;
    const uint8_t* p = b.data() + at;
    const size_t segments = p[26];
    if (at + 27 + segments > b.size())
        return std::nullopt;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i)
        body += p[27 + i];
    OggPage page;
    page.size = 27 + segments + body;
    if (at + page.size > b.size() || oggCrc(p, page.size) != le32(p + 22))
        return std::nullopt;
    page.flags = p[5];
    page.granule = int64_t(le64(p + 6));
    page.serial = le32(p + 14);
    return page;
}

}  // namespace

std::optional<OggEnd> oggEnd(Bytes b) {
    const auto first = oggPage(b, 0);
    if (!first || !(first->flags & 2))
        return std::nullopt;
    // A second stream begins on the page after the first: not one stream.
    const auto second = oggPage(b, first->size);
    if (second && (second->flags & 2))
        return std::nullopt;
    // The last page that closes a packet. Pages are at most 64 KiB.
    constexpr size_t Window = 2 * 65307;
    const size_t lowest = b.size() > Window ? b.size() - Window : 0;
    for (size_t pos = b.size() >= 27 ? b.size() - 27 : 0; pos + 1 > lowest && pos > 0; --pos) {
        if (b[pos] != 'O')
            continue;
        const auto page = oggPage(b, pos);
        if (!page || page->granule == -1)
            continue;
        // Another stream at the end: a chained file.
        if (page->serial != first->serial)
            return std::nullopt;
        return OggEnd{page->serial, page->granule};
    }
    return std::nullopt;
}

// ---- MPEG audio ---------------------------------------------------------------

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
