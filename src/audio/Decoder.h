#pragma once
// One audio file decoded with FFmpeg into interleaved float frames at the
// file's own rate and channel count, with sample-exact positions.
//
// Not thread-safe: one thread at a time (the stream serialises access).

#include "audio/FileChapters.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/rational.h>
}

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace velmo::audio {

class Mp4AacTrack;

class Decoder {
public:
    // Opens `path` (file-system encoding; only the "file" protocol is used).
    // The exact length (encoder delay and padding trimmed) comes from the
    // container's own facts where it states them; otherwise `prescan` walks
    // every packet once without decoding to learn it. Returns null when the file is missing, unreadable, not
    // audio or holds no decodable frame; `error` then holds a BASS_ERROR_*.
    static std::unique_ptr<Decoder> open(const std::string& path, bool prescan, int* error);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    int rate() const { return m_rate; }
    int channels() const { return m_channels; }
    // The speakers of the channels as AV_CH_* bits in channel order; 0 when
    // the file does not name them.
    uint64_t channelMask() const;
    // True when the file stores 8-bit samples.
    bool eightBit() const { return m_eightBit; }
    // Length in frames: exact after a prescan, else the container's estimate.
    // A file that stops decoding early (truncated, corrupt tail) shrinks to
    // what decodes once its end has been read. Safe from any thread.
    int64_t length() const { return m_length.load(); }

    // Decodes up to `maxFrames` frames into `dst` (interleaved). Returns the
    // frames written; 0 only at the end of the file.
    int read(float* dst, int maxFrames);
    // Moves so that the next frame read is `frame` (counted from the first
    // frame a decode from the start yields). Past the end: the next read
    // returns 0. Returns false only when the file cannot be repositioned;
    // the next read then goes on from the old position (or, when even that
    // cannot be found again, returns 0 there).
    // Sample exact for every file opened with a prescan; without one, ASF
    // timestamps may place a seek a few hundred frames off.
    bool seek(int64_t frame);
    // Index of the next frame read returns.
    int64_t position() const { return m_position; }
    // The chapters the file carries, read on open; fixed for the decoder's life.
    const std::vector<FileChapter>& chapters() const { return m_chapters; }

private:
    Decoder() = default;
    // `owner`: the decoder FFmpeg's interrupt callback asks (this one when null).
    bool openInput(const std::string& path, int* error, Decoder* owner = nullptr);
    // Plain AAC in MP4 read by our own reader (Mp4AacTrack.h) instead of
    // FFmpeg's; false when the file is not one, and this decoder is then
    // spent.
    bool openTrack(const std::string& path);
    // The next packet of the file into m_packet; false at the end.
    bool readPacket();
    // The next packet read is the last at or before `ts` (the stream's time
    // base) that starts a frame; false when the file cannot be sought.
    bool seekPacket(int64_t ts);
    AVRational timeBase() const;
    bool runPrescan();
    // The exact length from what the container states (DecoderLength.cpp);
    // false when it states nothing trusted and packets must be counted.
    bool lengthFromContainer();
    // AAC in MP4 from the sample table and the priming the edit list skips.
    std::optional<int64_t> mp4Frames();
    // Labels every Ogg packet with its timestamp from the start: a pass
    // over the packets without decoding, on a thread of its own with its
    // own reader (startOggLabels), taken over at the first seek
    // (takeOggLabels, which waits for it, or makes the pass itself when
    // none was started).
    struct OggLabelPass;
    void startOggLabels();
    void takeOggLabels();
    // Gives FFmpeg's index the place of every 16th MP3 frame, once, at the
    // first seek: a walk over the frame headers instead of FFmpeg's read of
    // every packet up to the target.
    void indexMp3Frames();
    bool seekTo(int64_t frame);
    // Prescan for files whose timestamps cannot name single samples (ASF's
    // milliseconds): counts decoded frames and maps their timestamps to
    // frame indexes for exact seeking.
    bool runCountingPrescan();
    bool rewind();
    // After a seek: the decoder forgets its history and input starts over.
    void restartDecoding();
    // Opens the file again, at its start; false (and nothing changed) when
    // it cannot be opened.
    bool reopen();
    bool isOgg() const;
    // Gives an Ogg packet about to be decoded the timestamp it had when
    // read from the start.
    void relabelOggPacket();
    // Decodes the next frame into m_frame; false at the end.
    bool decodeFrame();
    // Copies m_frame into m_pending as interleaved floats.
    void takeFrame();
    // Writes m_frame's frames to `dst` as interleaved floats and releases it.
    void convertFrame(float* dst);
    int64_t frameIndexOf(const AVFrame* frame) const;
    // FFmpeg's interrupt callback: stops an open that reads too far.
    static int interruptOpening(void* decoder);

    AVFormatContext* m_format = nullptr;  // FFmpeg's reader, unless m_track reads
    std::unique_ptr<Mp4AacTrack> m_track;
    AVCodecContext* m_codec = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    bool m_opening = false;  // between avformat_open_input and the stream found
    int64_t m_openPositionLimit = INT64_MAX;  // how far the open may read (past a WAV's data)
    int m_streamIndex = -1;
    int m_rate = 0;
    int m_channels = 0;
    bool m_eightBit = false;
    std::atomic<int64_t> m_length{0};
    bool m_lengthExact = false;
    bool m_inputDone = false;  // the decoder got its flush packet
    bool m_ended = false;      // the decoder has nothing more

    int64_t m_originPts = INT64_MIN;  // pts of the first frame decoded from the start
    bool m_coarseTime = false;        // timestamps coarser than one sample
    // An Ogg packet: the position of the page it starts on and its place
    // among the packets starting there.
    struct OggPacketKey {
        int64_t pagePos = -1;
        int ordinal = 0;
        void advance(int64_t pos) {
            ordinal = pos == pagePos ? ordinal + 1 : 0;
            pagePos = pos;
        }
        auto operator<=>(const OggPacketKey&) const = default;
    };
    struct OggLabel {
        OggPacketKey key;
        int64_t pts;
    };
    std::string m_path;
    bool m_disturbed = false;         // a seek has moved the demuxer or the decoder
    bool m_chained = false;           // Ogg links, each with timestamps from 0
    std::vector<OggLabel> m_oggLabels;  // every packet's timestamp from the start, by key
    bool m_oggLabelsCollected = false;
    std::shared_ptr<OggLabelPass> m_oggLabelPass;  // the pass running beside the decoder
    bool m_mp3Indexed = false;
    OggPacketKey m_feedKey;             // key of the packet last fed to the decoder
    int64_t m_oggEnd = INT64_MIN;     // timestamp after the last Ogg packet
    std::vector<std::pair<int64_t, int64_t>> m_frameAtPts;  // (pts, frame index), sorted
    int64_t m_position = 0;
    std::vector<float> m_pending;     // decoded frames not yet read
    std::vector<FileChapter> m_chapters;
    int m_pendingFrames = 0;
    int m_pendingOffset = 0;
};

}  // namespace velmo::audio
