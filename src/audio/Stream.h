#pragma once
// One open file: its decoder, and for a playing stream the decoder thread,
// the ring of decoded frames between that thread and the output callback,
// the effects, volume, level and end-of-stream state.
//
// Threads: the GUI thread calls the public members except mix(); the output
// thread calls mix(); the stream's own decoder thread fills the ring; the
// library's sync thread calls takeDueEnd().

#include "audio/Decoder.h"
#include "audio/PeakEq.h"
#include "audio/SourceMap.h"
#include "audio/StereoConverter.h"
#include "audio/TimeStretcher.h"
#include "audio/bass.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velmo::audio {

struct SyncEntry {
    HSYNC id;
    SYNCPROC* proc;
    void* user;
};

class Stream {
public:
    using Clock = std::chrono::steady_clock;

    // A stream of `decoder`'s file; with BASS_STREAM_DECODE in `flags` it has
    // no thread and no output, its frames are read with getData(). Returns
    // null with `error` set when its sound cannot be converted for the device.
    static std::shared_ptr<Stream> create(std::unique_ptr<Decoder> decoder, DWORD flags, int deviceRate, int* error);
    Stream(std::unique_ptr<Decoder> decoder, DWORD flags, std::unique_ptr<StereoConverter> converter, int deviceRate);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    bool decodeOnly() const { return m_decodeOnly; }
    // Whether its sound can play faster or slower.
    bool canStretch() const { return !m_decodeOnly && m_channels <= TimeStretcher::kMaxChannels; }
    int rate() const { return m_rate; }
    int channels() const { return m_channels; }
    DWORD flags() const { return m_flags; }
    bool eightBit() const { return m_decoder->eightBit(); }
    int64_t lengthFrames() const { return m_decoder->length(); }
    const std::vector<FileChapter>& chapters() const { return m_decoder->chapters(); }

    // --- GUI thread -------------------------------------------------------
    // The decoder is reading or seeking now (its read may be stuck on a
    // stalled file).
    bool decoderBusy();
    void play(bool restart);
    void pause();
    void stop();
    DWORD state() const;
    // Frame being heard (playing streams) or next frame returned (decode-only).
    // Paused or stopped: the frame the sound stopped at and resumes from.
    int64_t positionFrames() const;
    // False when the file cannot be repositioned; the stream then plays on
    // from where it was, or, when even that place cannot be found again,
    // from the frame its decoder is at, and reports that frame.
    // A playing stream's decoder thread makes the seek while this waits, so
    // that a read stuck on a stalled file holds up only that thread: when
    // the seek takes longer than a moment, this returns true and the stream
    // is silent at the new place until the decoder gets there.
    bool setPositionFrames(int64_t frame);
    void setVolume(float volume);
    float volume() const;
    // Playing streams: the sound goes `speed` times as fast (0.5 to 2) with
    // its pitch kept; positions stay in the file's frames. At 1 the frames
    // go to the device untouched.
    void setSpeed(double speed);
    double speed() const;
    // Frames [start, end) play over and over, each pass straight after the
    // last; an empty range plays on. The frames already decoded are kept as
    // far as they follow the new rule.
    void setLoop(const LoopRange& loop);
    LoopRange loop() const;
    // Peak per speaker of the last 20 ms heard (before the volume), or
    // 0xFFFFFFFF when not playing.
    DWORD level() const;
    // Decode-only streams: frames with the effects applied; -1 at the end.
    int getData(float* dst, int maxFrames);

    HFX addEffect(HFX id, int priority);
    bool removeEffect(HFX id);
    bool setEffectParameters(HFX id, const BASS_BFX_PEAKEQ& params);
    bool effectParameters(HFX id, BASS_BFX_PEAKEQ& params) const;

    void addSync(const SyncEntry& sync);
    bool removeSync(HSYNC id);

    // Tests: waits until the decoder thread has filled the ring as far as it
    // goes (full, or the file's end reached), so that a device pulling at
    // any speed never finds it empty.
    void waitUntilDecoded();
    // Tests: the next `count` decoder seeks of any stream move the decoder
    // to `strayFrame` and fail, as a demuxer that lost its way does.
    static void injectSeekFaults(int count, int64_t strayFrame);
    // Tests: while held, every decoder read of any stream waits, as on a
    // file whose reads stall.
    static void holdDecoderReads(bool hold);

    // --- output thread --------------------------------------------------------
    enum class MixResult { Idle, Playing, EndReached };
    // Adds this stream's next `frames` device frames (stereo, device rate)
    // into `out`. EndReached: the stream's last frame went out in this
    // buffer (the sync thread should look at takeDueEnd). `latency` is how
    // long after this call the device sounds the last frame it is handed.
    // Called for every device buffer, also while the stream is silent, so
    // that the stream can tell which of its frames is being heard.
    MixResult mix(float* out, int frames, double latency);

    // --- sync thread ------------------------------------------------------------
    // When the end reached by mix() has been heard: stops the stream and
    // returns true with the syncs to call. `next` is lowered to the time the
    // pending end is due.
    bool takeDueEnd(Clock::time_point now, std::vector<SyncEntry>& syncs, Clock::time_point& next);

private:
    struct Effect {
        HFX id;
        int priority;
        PeakEq eq;
    };
    struct LevelBlock {
        int frames = 0;  // device frames
        float peakLeft = 0, peakRight = 0;
    };
    // Device frames [deviceBegin, deviceEnd) carried the frames
    // [seqBegin, seqEnd) of the playing order (m_sources), spread evenly.
    struct Segment {
        int64_t deviceBegin, deviceEnd;
        int64_t seqBegin, seqEnd;
    };
    static constexpr int kSegments = 256;  // some seconds of device buffers

    // A seek left to the decoder thread. `callerWaits`: setPositionFrames
    // waits for its outcome; otherwise the sound is already silent at
    // `frame` and must end up where the decoder is, whatever happens.
    struct SeekRequest {
        int64_t frame;
        uint64_t serial;
        bool callerWaits;
    };

    void decoderLoop();
    // With m_decoderMutex held.
    bool seekDecoder(int64_t frame);
    // With m_decoderMutex held: moves the decoder and the sound to `frame`.
    bool seekLocked(int64_t frame, bool callerWaits);
    // A playing stream's seek, made by the decoder thread.
    bool seekOnDecoderThread(int64_t frame);
    // With m_decoderMutex held: decodes up to `frames` frames into the ring.
    void fillRing(int frames);
    void resetPlaybackLocked(int64_t frame);
    // The sound restarts at playing order `seq` with the next device buffer.
    void restartClockLocked(int64_t seq);
    int64_t heardFrameLocked() const;
    // The playing order of the frame the next device frame carries.
    int64_t handedSeqLocked() const;
    // Takes up to `frames` frames from the ring into `dst` and runs the
    // effects. Returns the count.
    int pullFrames(float* dst, int frames);
    // Up to `frames` frames of the stretched sound into m_scratch, feeding
    // the stretcher from the ring. Returns the count.
    int stretchSome(int frames);
    // Every frame of the file has left the ring and the stretcher.
    bool sourceDrainedLocked() const;
    // Writes up to `frames` device frames of the stream's sound into
    // m_converted. Returns the count; fewer when the ring runs dry.
    int convertSome(int frames);
    // Measures the level of `frames` converted frames and adds them, at
    // the stream's volume, into `out`.
    void deliver(float* out, int frames);
    void applyEffects(float* samples, int frames);

    const bool m_decodeOnly;
    const DWORD m_flags;
    const int m_rate;
    const int m_channels;
    const int m_deviceRate;

    // The decoder is used by the decoder thread and by seeks on the GUI
    // thread; m_decoderMutex serialises them (taken before m_mutex).
    std::unique_ptr<Decoder> m_decoder;
    std::mutex m_decoderMutex;

    mutable std::mutex m_mutex;  // everything below
    std::condition_variable m_wake;  // decoder thread: room in the ring, quit
    std::condition_variable m_filled;  // the ring got frames
    bool m_quit = false;
    std::vector<float> m_ring;
    int m_ringCapacity = 0;  // frames
    int m_ringHead = 0;
    int m_ringCount = 0;
    bool m_decodeEnded = false;  // the decoder has delivered its last frame
    uint64_t m_ringGeneration = 0;  // counts the resets of the ring
    // The newest seek for the decoder thread to make, the serial of the last
    // one it made and its outcome; `m_seekOverdue`: a seek was left to it
    // and it has not come back since (its reads are stuck).
    std::optional<SeekRequest> m_seekRequest;
    uint64_t m_seekSerial = 0;
    uint64_t m_seekDoneSerial = 0;
    bool m_seekDoneMoved = false;
    bool m_seekOverdue = false;
    std::condition_variable m_seekDone;
    LoopRange m_loop;
    // The file frames of the playing order: the ring holds its frames
    // [m_consumed, m_consumed + m_ringCount).
    SourceMap m_sources;

    DWORD m_state = BASS_ACTIVE_STOPPED;
    bool m_starved = false;
    bool m_endPending = false;      // the last frame was handed to the device
    Clock::time_point m_endDue{};   // ... and is heard at this time
    bool m_atEnd = false;           // stopped by the end of the stream
    int64_t m_consumed = 0;         // playing order: frames taken from the ring
    int64_t m_handed = 0;           // playing order of the frame the next device frame carries
    int64_t m_deviceClock = 0;      // device frames gone through mix()
    int64_t m_latencyFrames = 0;    // device frames handed but not yet heard
    int64_t m_restartSeq = 0;       // heard until the first segment sounds
    Segment m_segments[kSegments];
    int m_segmentCount = 0;
    int m_segmentNext = 0;
    float m_volume = 1.0f;
    std::vector<Effect> m_effects;
    std::vector<SyncEntry> m_syncs;
    LevelBlock m_levels[8];
    int m_levelNext = 0;

    std::unique_ptr<StereoConverter> m_converter;  // playing streams only
    bool m_converterFlushed = false;
    std::vector<float> m_scratch;    // stream-channel frames of one chunk
    std::vector<float> m_converted;  // the device's stereo

    // Speeds other than 1 run the frames through the stretcher, which
    // started at playing order m_stretchBase.
    double m_speed = 1.0;
    std::unique_ptr<TimeStretcher> m_stretcher;  // made when first needed
    bool m_stretching = false;
    int64_t m_stretchBase = 0;
    std::vector<float> m_stretchIn;

    std::thread m_thread;
};

}  // namespace velmo::audio
