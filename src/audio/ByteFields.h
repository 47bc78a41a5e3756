#pragma once
// Little helpers for reading the fields of file headers: integers of either
// byte order, a tag at an offset, and where the audio starts after any
// ID3v2 tags in front. For the container readers of this folder only.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace velmo::audio::bytes {

using Bytes = std::span<const uint8_t>;

inline uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
inline uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }
inline uint64_t le64(const uint8_t* p) { return le32(p) | uint64_t(le32(p + 4)) << 32; }
inline uint32_t be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
inline uint32_t be24(const uint8_t* p) { return be16(p) << 8 | p[2]; }
inline uint32_t be32(const uint8_t* p) { return be16(p) << 16 | be16(p + 2); }

inline bool tagAt(Bytes b, size_t at, const char* tag) {
    const size_t n = std::strlen(tag);
    return at + n <= b.size() && std::memcmp(b.data() + at, tag, n) == 0;
}

// Where the audio starts after any ID3v2 tags in front.
inline size_t afterId3v2(Bytes b) {
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

}  // namespace velmo::audio::bytes
