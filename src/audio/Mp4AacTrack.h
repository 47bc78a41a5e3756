#pragma once
// AAC in an MP4 file, read from the file's own sample tables: the packets
// FFmpeg's MP4 reader gives (the same timestamps, the priming the edit list
// skips marked the same way), without the index of every packet that
// reader builds when it opens a file (tens of milliseconds for an hour).
// A packet's place is worked out from the tables when it is asked for.
//
// Only the plain case is taken: one track, AAC-LC in 1024-frame packets
// timed at its own sample rate, at most one edit that starts the track
// later, no chapters. Anything else is left to FFmpeg's reader.
//
// Not thread-safe: one thread at a time.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVPacket;

namespace velmo::audio {

class Mp4AacTrack {
public:
    // Null when `path` is not a plain AAC-in-MP4 file as above, or cannot be read.
    static std::unique_ptr<Mp4AacTrack> open(const std::string& path);
    ~Mp4AacTrack();
    Mp4AacTrack(const Mp4AacTrack&) = delete;
    Mp4AacTrack& operator=(const Mp4AacTrack&) = delete;

    static constexpr int FrameSize = 1024;

    // The decoder's setup (AudioSpecificConfig).
    const std::vector<uint8_t>& decoderConfig() const { return m_config; }
    int rate() const { return m_rate; }
    int channels() const { return m_channels; }
    // Frames the decoder yields: every packet's, less the priming skipped.
    int64_t frames() const { return m_packets * FrameSize - m_priming; }

    // The next packet into `packet` (timestamps in 1/rate); false at the end
    // or when the file cannot be read.
    bool read(AVPacket* packet);
    // The next read starts at the last packet that starts at or before
    // `pts`, or at the first packet when none does.
    void seek(int64_t pts);

    // The movie box, read as it is used (the parsing in the source file
    // works on it).
    class Movie;

private:
    Mp4AacTrack() = default;
    // Moves the cursor to packet `index` (< m_packets).
    void moveTo(int64_t index);
    uint64_t packetSize(int64_t index);
    uint64_t chunkOffset(uint32_t chunk);

    int m_fd = -1;
    std::unique_ptr<Movie> m_movie;
    std::vector<uint8_t> m_config;
    int m_rate = 0;
    int m_channels = 0;
    int64_t m_packets = 0;
    int64_t m_priming = 0;  // frames the edit list skips at the start
    // Byte offsets into the movie box of each table's first entry.
    size_t m_stts = 0, m_stsc = 0, m_sizes = 0, m_chunks = 0;
    uint32_t m_sttsCount = 0, m_stscCount = 0, m_chunkCount = 0;
    uint32_t m_fixedSize = 0;  // every packet's size, or 0 when listed
    bool m_chunks64 = false;

    // Where the next read is.
    struct Cursor {
        int64_t packet = 0;
        int64_t pts = 0;             // before the priming is taken off
        uint32_t sttsEntry = 0, sttsLeft = 0;
        uint32_t stscEntry = 0;
        uint32_t chunk = 0, inChunk = 0;
        uint64_t offset = 0;
    } m_at;
    bool m_skipPending = true;  // the next packet carries the priming to skip
};

}  // namespace velmo::audio
