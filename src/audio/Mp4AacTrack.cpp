#include "audio/Mp4AacTrack.h"

#include "audio/ByteFields.h"
#include "audio/FfmpegApi.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace velmo::audio {
namespace {

using namespace bytes;

uint64_t be64(const uint8_t* p) { return uint64_t(be32(p)) << 32 | be32(p + 4); }

bool readAll(int fd, uint8_t* dst, size_t n, uint64_t offset) {
    while (n > 0) {
        const ssize_t got = ::pread(fd, dst, n, off_t(offset));
        if (got <= 0)
            return false;
        dst += got;
        n -= size_t(got);
        offset += uint64_t(got);
    }
    return true;
}

}  // namespace

// The movie box, read from the file a block at a time as its bytes are
// first asked for: opening reads the few boxes it looks at, and the large
// tables (a size and a place for every packet) come in as playback gets
// there. Bytes that cannot be read read as zeros, which no table accepts.
class Mp4AacTrack::Movie {
public:
    Movie(int fd, uint64_t start, size_t size)
        : m_fd(fd), m_start(start), m_size(size), m_data(std::make_unique_for_overwrite<uint8_t[]>(size)),
          m_loaded((size + Block - 1) / Block) {}

    size_t size() const { return m_size; }
    // `n` bytes from `offset`, which the caller has checked lie in the box.
    const uint8_t* at(size_t offset, size_t n) {
        // The readers check their boxes' bounds; a slip reads as zeros.
        if (n > m_size || offset > m_size - n) {
            m_outside.assign(n, 0);
            return m_outside.data();
        }
        for (size_t block = offset / Block; block * Block < offset + n; ++block) {
            if (m_loaded[block])
                continue;
            m_loaded[block] = true;
            const size_t from = block * Block;
            const size_t length = std::min(Block, m_size - from);
            if (!readAll(m_fd, m_data.get() + from, length, m_start + from))
                std::memset(m_data.get() + from, 0, length);
        }
        return m_data.get() + offset;
    }
    uint32_t u32(size_t offset) { return be32(at(offset, 4)); }
    uint64_t u64(size_t offset) { return be64(at(offset, 8)); }
    bool tag(size_t offset, const char* tag) { return std::memcmp(at(offset, 4), tag, 4) == 0; }

private:
    static constexpr size_t Block = 16 << 10;
    int m_fd;
    uint64_t m_start;
    size_t m_size;
    std::unique_ptr<uint8_t[]> m_data;
    std::vector<bool> m_loaded;
    std::vector<uint8_t> m_outside;
};

namespace {

using Movie = Mp4AacTrack::Movie;

// A box: where its content starts and where the box ends.
struct Box {
    size_t content = 0;
    size_t end = 0;
};

// The box at `at`, which must end by `end`, and its type.
std::optional<Box> boxAt(Movie& m, size_t at, size_t end, std::array<char, 4>* type = nullptr) {
    if (at + 8 > end)
        return std::nullopt;
    uint64_t size = m.u32(at);
    size_t header = 8;
    if (size == 1) {
        if (at + 16 > end)
            return std::nullopt;
        size = m.u64(at + 8);
        header = 16;
    } else if (size == 0) {
        size = end - at;
    }
    if (size < header || size > end - at)
        return std::nullopt;
    if (type)
        std::memcpy(type->data(), m.at(at + 4, 4), 4);
    return Box{at + header, at + size};
}

// The children of `parent` named `type`: the first one, and how many there are.
struct Found {
    std::optional<Box> first;
    int count = 0;
};
Found children(Movie& m, Box parent, const char* type, size_t skip = 0) {
    Found found;
    size_t at = parent.content + skip;
    std::array<char, 4> name{};
    while (const auto box = boxAt(m, at, parent.end, &name)) {
        if (std::memcmp(name.data(), type, 4) == 0 && found.count++ == 0)
            found.first = box;
        at = box->end;
    }
    return found;
}

std::optional<Box> child(Movie& m, std::optional<Box> parent, const char* type) {
    return parent ? children(m, *parent, type).first : std::nullopt;
}

// A table box's entries: version and flags, a count, then entries of `entrySize` bytes.
struct Table {
    size_t entries = 0;
    uint32_t count = 0;
};
std::optional<Table> table(Movie& m, std::optional<Box> box, size_t entrySize, size_t before = 0) {
    if (!box || box->content + 8 + before > box->end)
        return std::nullopt;
    const uint32_t count = m.u32(box->content + 4 + before);
    const size_t entries = box->content + 8 + before;
    if (entrySize > 0 && uint64_t(count) * entrySize > box->end - entries)
        return std::nullopt;
    return Table{entries, count};
}

// An MPEG-4 descriptor's tag and where its body lies.
struct Descriptor {
    uint8_t tag = 0;
    size_t body = 0;
    size_t end = 0;
};
std::optional<Descriptor> descriptorAt(Bytes b, size_t at, size_t end) {
    if (at >= end)
        return std::nullopt;
    Descriptor d;
    d.tag = b[at++];
    size_t length = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= end)
            return std::nullopt;
        const uint8_t byte = b[at++];
        length = length << 7 | (byte & 0x7F);
        if (!(byte & 0x80))
            break;
    }
    if (length > end - at)
        return std::nullopt;
    d.body = at;
    d.end = at + length;
    return d;
}

// The AudioSpecificConfig in an esds box: ES -> DecoderConfig (MPEG-4
// audio) -> DecoderSpecificInfo.
std::optional<std::vector<uint8_t>> audioConfig(Bytes b, Box esds) {
    const auto es = descriptorAt(b, esds.content + 4, esds.end);
    if (!es || es->tag != 0x03 || es->body + 3 > es->end)
        return std::nullopt;
    const uint8_t flags = b[es->body + 2];
    size_t at = es->body + 3;
    if (flags & 0x80)
        at += 2;
    if ((flags & 0x40) && at < es->end)
        at += 1 + b[at];
    if (flags & 0x20)
        at += 2;
    const auto config = descriptorAt(b, at, es->end);
    constexpr uint8_t Mpeg4Audio = 0x40;
    if (!config || config->tag != 0x04 || config->body + 13 > config->end || b[config->body] != Mpeg4Audio)
        return std::nullopt;
    const auto specific = descriptorAt(b, config->body + 13, config->end);
    if (!specific || specific->tag != 0x05 || specific->end - specific->body < 2)
        return std::nullopt;
    return std::vector<uint8_t>(b.begin() + ptrdiff_t(specific->body), b.begin() + ptrdiff_t(specific->end));
}

// AAC-LC with 1024-frame packets: its sample rate and channels, from the
// AudioSpecificConfig.
struct AacFormat {
    int rate = 0;
    int channels = 0;
};
std::optional<AacFormat> aacLowComplexity(const std::vector<uint8_t>& config) {
    uint64_t bits = 0;
    for (size_t i = 0; i < 8; ++i)
        bits = bits << 8 | (i < config.size() ? config[i] : 0);
    int used = 0;
    const auto take = [&](int n) {
        const uint32_t v = uint32_t(bits >> (64 - used - n)) & ((1u << n) - 1);
        used += n;
        return v;
    };
    constexpr uint32_t LowComplexity = 2;
    if (take(5) != LowComplexity)
        return std::nullopt;
    static constexpr std::array<int, 13> Rates{96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                               22050, 16000, 12000, 11025, 8000,  7350};
    const uint32_t rateIndex = take(4);
    AacFormat format;
    if (rateIndex == 15)
        format.rate = int(take(24));
    else if (rateIndex < Rates.size())
        format.rate = Rates[rateIndex];
    static constexpr std::array<int, 8> Channels{0, 1, 2, 3, 4, 5, 6, 8};
    const uint32_t layout = take(4);
    // Layout 0 names the channels in a program config element: left to FFmpeg.
    if (layout == 0 || layout >= Channels.size() || format.rate <= 0 || size_t(used + 1) > config.size() * 8)
        return std::nullopt;
    format.channels = Channels[layout];
    const bool shortFrames = take(1);  // 960 frames a packet
    if (shortFrames)
        return std::nullopt;
    return format;
}

// Where the file's movie box lies: its offset and size; nothing when there
// is none to trust.
std::optional<std::pair<uint64_t, size_t>> findMovie(int fd, uint64_t fileSize) {
    // The tables of ten hours take a few megabytes; far more is not a file we play.
    constexpr uint64_t Largest = uint64_t(256) << 20;
    uint64_t at = 0;
    std::array<uint8_t, 16> header{};
    while (at + 8 <= fileSize) {
        if (!readAll(fd, header.data(), std::min<uint64_t>(16, fileSize - at), at))
            return std::nullopt;
        const Bytes h(header.data(), header.size());
        // An MP4 file starts with its type box.
        if (at == 0 && !tagAt(h, 4, "ftyp"))
            return std::nullopt;
        uint64_t size = be32(h.data());
        if (size == 1)
            size = be64(h.data() + 8);
        else if (size == 0)
            size = fileSize - at;
        if (size < 8 || size > fileSize - at)
            return std::nullopt;
        if (tagAt(h, 4, "moov"))
            return size <= Largest ? std::optional(std::pair(at, size_t(size))) : std::nullopt;
        at += size;
    }
    return std::nullopt;
}

}  // namespace

std::unique_ptr<Mp4AacTrack> Mp4AacTrack::open(const std::string& path) {
    std::unique_ptr<Mp4AacTrack> t(new Mp4AacTrack);
    t->m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (t->m_fd < 0 || ::fstat(t->m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    const auto place = findMovie(t->m_fd, uint64_t(st.st_size));
    if (!place)
        return nullptr;
    t->m_movie = std::make_unique<Movie>(t->m_fd, place->first, place->second);
    Movie& m = *t->m_movie;
    const auto moov = boxAt(m, 0, m.size());
    if (!moov)
        return nullptr;
    // One track; fragments, chapters (Nero's list, or a chapter track) and
    // track references are FFmpeg's to read.
    const Found traks = children(m, *moov, "trak");
    if (traks.count != 1 || children(m, *moov, "mvex").count || child(m, child(m, *moov, "udta"), "chpl") ||
        child(m, child(m, traks.first, "udta"), "chpl") || child(m, traks.first, "tref"))
        return nullptr;
    const auto mvhd = child(m, *moov, "mvhd");
    const auto mdia = child(m, traks.first, "mdia");
    const auto mdhd = child(m, mdia, "mdhd");
    const auto hdlr = child(m, mdia, "hdlr");
    const auto stbl = child(m, child(m, mdia, "minf"), "stbl");
    if (!mvhd || !mdhd || !hdlr || !stbl || mvhd->content + 24 > mvhd->end || mdhd->content + 24 > mdhd->end ||
        hdlr->content + 12 > hdlr->end || !m.tag(hdlr->content + 8, "soun"))
        return nullptr;
    const uint32_t movieScale = m.u32(mvhd->content + (*m.at(mvhd->content, 1) == 1 ? 20 : 12));
    const uint32_t scale = m.u32(mdhd->content + (*m.at(mdhd->content, 1) == 1 ? 20 : 12));

    // The sample description: one AAC-LC entry, timed at its own rate.
    const auto stsdBox = child(m, *stbl, "stsd");
    const auto stsd = table(m, stsdBox, 0);
    std::array<char, 4> format{};
    const auto entry = stsd && stsd->count == 1 ? boxAt(m, stsd->entries, stsdBox->end, &format) : std::nullopt;
    if (!entry || std::memcmp(format.data(), "mp4a", 4) != 0 || entry->content + 28 > entry->end)
        return nullptr;
    const uint32_t soundVersion = be16(m.at(entry->content + 8, 2));
    if (soundVersion > 1)
        return nullptr;
    const Found esds = children(m, *entry, "esds", soundVersion == 1 ? 44 : 28);
    std::optional<std::vector<uint8_t>> config;
    if (esds.first) {
        const size_t length = esds.first->end - esds.first->content;
        config = audioConfig(Bytes(m.at(esds.first->content, length), length), Box{0, length});
    }
    const auto aac = config ? aacLowComplexity(*config) : std::nullopt;
    if (!aac || uint32_t(aac->rate) != scale || movieScale == 0)
        return nullptr;
    t->m_config = *config;
    t->m_rate = aac->rate;
    t->m_channels = aac->channels;

    // The tables. Composition offsets would reorder packets: not audio as we know it.
    const auto stts = table(m, child(m, *stbl, "stts"), 8);
    const auto stsc = table(m, child(m, *stbl, "stsc"), 12);
    const auto stszBox = child(m, *stbl, "stsz");
    const auto stsz = table(m, stszBox, 0, 4);
    const auto stco = table(m, child(m, *stbl, "stco"), 4);
    const auto co64 = table(m, child(m, *stbl, "co64"), 8);
    if (!stts || !stsc || !stsz || !(stco || co64) || child(m, *stbl, "ctts") || stsz->count == 0)
        return nullptr;
    t->m_packets = stsz->count;
    t->m_fixedSize = m.u32(stsz->entries - 8);
    if (t->m_fixedSize == 0 && uint64_t(stsz->count) * 4 > stszBox->end - stsz->entries)
        return nullptr;
    t->m_stts = stts->entries;
    t->m_sttsCount = stts->count;
    t->m_stsc = stsc->entries;
    t->m_stscCount = stsc->count;
    t->m_sizes = stsz->entries;
    t->m_chunks64 = !stco;
    t->m_chunks = stco ? stco->entries : co64->entries;
    t->m_chunkCount = stco ? stco->count : co64->count;

    // Every packet one AAC frame long (the last may be cut short), and the
    // durations cover the packets.
    int64_t timed = 0;
    int64_t duration = 0;
    for (uint32_t i = 0; i < t->m_sttsCount; ++i) {
        const uint32_t count = m.u32(t->m_stts + 8 * i);
        const uint32_t delta = m.u32(t->m_stts + 8 * i + 4);
        const bool last = i + 1 == t->m_sttsCount;
        if (count > 0 && delta != FrameSize && !(last && count == 1 && delta > 0 && delta < FrameSize))
            return nullptr;
        timed += count;
        duration += int64_t(count) * delta;
    }
    // The chunk runs cover the packets exactly.
    int64_t placed = 0;
    for (uint32_t i = 0; i < t->m_stscCount; ++i) {
        const size_t run = t->m_stsc + 12 * i;
        const uint32_t first = m.u32(run);
        const uint32_t next = i + 1 < t->m_stscCount ? m.u32(run + 12) : t->m_chunkCount + 1;
        if (first == 0 || next <= first || next > t->m_chunkCount + 1 || (i == 0 && first != 1) || m.u32(run + 4) == 0)
            return nullptr;
        placed += int64_t(next - first) * m.u32(run + 4);
    }
    if (timed != t->m_packets || placed != t->m_packets)
        return nullptr;

    // At most one edit, which starts the track at its priming and holds
    // every packet's start.
    const auto elstBox = child(m, child(m, traks.first, "edts"), "elst");
    const auto elst = table(m, elstBox, 0);
    if (elst && elst->count > 1)
        return nullptr;
    if (elst && elst->count == 1) {
        const bool wide = *m.at(elst->entries - 8, 1) == 1;
        if (elst->entries + (wide ? 20 : 12) > elstBox->end)
            return nullptr;
        const size_t e = elst->entries;
        const int64_t editDuration = wide ? int64_t(m.u64(e)) : int64_t(m.u32(e));
        const int64_t mediaTime = wide ? int64_t(m.u64(e + 8)) : int64_t(int32_t(m.u32(e + 4)));
        const uint32_t editRate = m.u32(e + (wide ? 16 : 8));
        const int64_t editEnd = mediaTime + ffmpeg().av_rescale(editDuration, scale, movieScale);
        const int64_t lastStart = duration - m.u32(t->m_stts + 8 * (t->m_sttsCount - 1) + 4);
        if (mediaTime < 0 || editRate != 0x10000 || editDuration <= 0 || lastStart >= editEnd)
            return nullptr;
        t->m_priming = mediaTime;
    }
    if (t->frames() <= 0)
        return nullptr;
    t->moveTo(0);
    return t;
}

Mp4AacTrack::~Mp4AacTrack() {
    if (m_fd >= 0)
        ::close(m_fd);
}

uint64_t Mp4AacTrack::packetSize(int64_t index) {
    return m_fixedSize ? m_fixedSize : m_movie->u32(m_sizes + 4 * size_t(index));
}

uint64_t Mp4AacTrack::chunkOffset(uint32_t chunk) {
    return m_chunks64 ? m_movie->u64(m_chunks + 8 * size_t(chunk)) : m_movie->u32(m_chunks + 4 * size_t(chunk));
}

void Mp4AacTrack::moveTo(int64_t index) {
    Movie& m = *m_movie;
    Cursor at;
    at.packet = index;
    // Its time: the durations of the packets before it.
    int64_t before = index;
    for (; at.sttsEntry < m_sttsCount; ++at.sttsEntry) {
        const uint32_t count = m.u32(m_stts + 8 * at.sttsEntry);
        const uint32_t delta = m.u32(m_stts + 8 * at.sttsEntry + 4);
        if (before < count) {
            at.pts += before * delta;
            at.sttsLeft = uint32_t(count - before);
            break;
        }
        at.pts += int64_t(count) * delta;
        before -= count;
    }
    // Its chunk and its place in it.
    int64_t first = 0;  // first packet of the run
    for (; at.stscEntry < m_stscCount; ++at.stscEntry) {
        const size_t run = m_stsc + 12 * at.stscEntry;
        const uint32_t perChunk = m.u32(run + 4);
        const uint32_t next = at.stscEntry + 1 < m_stscCount ? m.u32(run + 12) : m_chunkCount + 1;
        const int64_t inRun = int64_t(next - m.u32(run)) * perChunk;
        if (index < first + inRun) {
            at.chunk = m.u32(run) - 1 + uint32_t((index - first) / perChunk);
            at.inChunk = uint32_t((index - first) % perChunk);
            break;
        }
        first += inRun;
    }
    at.offset = chunkOffset(at.chunk);
    for (int64_t i = index - at.inChunk; i < index; ++i)
        at.offset += packetSize(i);
    m_at = at;
}

bool Mp4AacTrack::read(AVPacket* packet) {
    if (m_at.packet >= m_packets)
        return false;
    Movie& m = *m_movie;
    const uint64_t size = packetSize(m_at.packet);
    // An AAC packet holds at most 6144 bits a channel.
    constexpr uint64_t Largest = 1 << 20;
    if (size == 0 || size > Largest || ffmpeg().av_new_packet(packet, int(size)) < 0)
        return false;
    if (!readAll(m_fd, packet->data, size, m_at.offset)) {
        ffmpeg().av_packet_unref(packet);
        return false;
    }
    const uint32_t delta = m.u32(m_stts + 8 * m_at.sttsEntry + 4);
    // Timestamps count from the end of the priming. Packets wholly inside
    // it are decoded (they set the decoder up) and their frames dropped;
    // the first packet read from the start, or after a seek into the
    // priming, carries the frames still to skip.
    packet->pts = packet->dts = m_at.pts - m_priming;
    packet->duration = delta;
    packet->pos = int64_t(m_at.offset);
    packet->flags = AV_PKT_FLAG_KEY | (m_at.pts + delta <= m_priming ? AV_PKT_FLAG_DISCARD : 0);
    if (m_skipPending && m_at.pts < m_priming) {
        if (uint8_t* skip = ffmpeg().av_packet_new_side_data(packet, AV_PKT_DATA_SKIP_SAMPLES, 10)) {
            AV_WL32(skip, uint32_t(m_priming - m_at.pts));
            AV_WL32(skip + 4, 0);
            skip[8] = skip[9] = 0;
        }
    }
    m_skipPending = false;

    // On to the next packet.
    ++m_at.packet;
    m_at.pts += delta;
    m_at.offset += size;
    while (--m_at.sttsLeft == 0 && m_at.sttsEntry + 1 < m_sttsCount)
        m_at.sttsLeft = m.u32(m_stts + 8 * ++m_at.sttsEntry) + 1;
    if (++m_at.inChunk == m.u32(m_stsc + 12 * m_at.stscEntry + 4) && m_at.packet < m_packets) {
        m_at.inChunk = 0;
        ++m_at.chunk;
        if (m_at.stscEntry + 1 < m_stscCount && m_at.chunk + 1 == m.u32(m_stsc + 12 * (m_at.stscEntry + 1)))
            ++m_at.stscEntry;
        m_at.offset = chunkOffset(m_at.chunk);
    }
    return true;
}

void Mp4AacTrack::seek(int64_t pts) {
    // Time in the table's terms, priming included.
    const int64_t target = pts + m_priming;
    int64_t index = 0;
    if (target > 0) {
        Movie& m = *m_movie;
        int64_t start = 0;
        int64_t first = 0;
        index = m_packets - 1;
        for (uint32_t i = 0; i < m_sttsCount; ++i) {
            const int64_t count = m.u32(m_stts + 8 * i);
            const int64_t delta = m.u32(m_stts + 8 * i + 4);
            if (count > 0 && target < start + count * delta) {
                index = first + (target - start) / delta;
                break;
            }
            start += count * delta;
            first += count;
        }
    }
    moveTo(index);
    m_skipPending = true;
}

}  // namespace velmo::audio
