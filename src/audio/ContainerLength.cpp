#include "audio/ContainerLength.h"

#include "audio/ByteFields.h"

#include <algorithm>
#include <array>
#include <cstring>
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

using namespace bytes;

// ---- WAV ----------------------------------------------------------------------

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

}  // namespace velmo::audio
