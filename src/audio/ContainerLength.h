#pragma once
// Exact lengths read from what a container states about itself, without a
// pass over its packets: the WAV data size, FLAC's STREAMINFO checked
// against the last frame, the last Ogg granule position. MP3 has its own
// unit (Mp3FrameWalk.h).
//
// Each reader answers "nothing" when the file does not state its length in
// a form it trusts; the caller then counts packets. Lengths are in frames
// as FFmpeg's decode of the file yields them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace velmo::audio {

// A file mapped read-only into memory for the life of the object; empty
// when it cannot be mapped (missing, empty, not a regular file). The map
// serves the few places a container states its facts; a walk through the
// whole file reads it in chunks instead (`descriptor`), which on this
// machine costs a fifth of touching every mapped page.
class MappedFile {
public:
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::span<const uint8_t> bytes() const { return {m_data, m_size}; }
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

// WAV or RF64: where its data chunk lies (as far as the file holds it).
struct WavData {
    uint64_t start = 0;
    uint64_t bytes = 0;
    uint32_t blockAlign = 0;
    bool pcm = false;  // integer or float samples
};
std::optional<WavData> wavData(std::span<const uint8_t> file);

// WAV or RF64 with PCM samples: the frames of the data chunk.
std::optional<int64_t> wavFrames(std::span<const uint8_t> file);

// FLAC: STREAMINFO's total sample count when the last frame ends there.
std::optional<int64_t> flacFrames(std::span<const uint8_t> file);

// Ogg with one logical stream from start to end: its serial number and the
// granule position of its last page. Chained or multiplexed files, and
// files whose last page cannot be found, give nothing.
struct OggEnd {
    uint32_t serial = 0;
    int64_t granule = 0;
};
std::optional<OggEnd> oggEnd(std::span<const uint8_t> file);

}  // namespace velmo::audio
