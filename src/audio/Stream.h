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
#include "audio/bass.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct SwrContext;

namespace velmo::audio {

struct SyncEntry {
    HSYNC id;
    SYNCPROC* proc;
    void* user;
};

class Stream {
public:
    using Clock = std::chrono::steady_clock;

    // decodeOnly: no thread, no output; frames are read with getData().
    Stream(std::unique_ptr<Decoder> decoder, DWORD flags, int deviceRate);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    bool decodeOnly() const { return m_decodeOnly; }
    int rate() const { return m_rate; }
    int channels() const { return m_channels; }
    DWORD flags() const { return m_flags; }
    bool eightBit() const { return m_decoder->eightBit(); }
    int64_t lengthFrames() const { return m_decoder->length(); }
    const std::vector<FileChapter>& chapters() const { return m_decoder->chapters(); }

    // --- GUI thread -------------------------------------------------------
    void play(bool restart);
    void pause();
    void stop();
    DWORD state() const;
    // Frame being heard (playing streams) or next frame returned (decode-only).
    int64_t positionFrames() const;
    bool setPositionFrames(int64_t frame);
    void setVolume(float volume);
    float volume() const;
    // Peak of the last 20 ms heard, or 0xFFFFFFFF when not playing.
    DWORD level() const;
    // Decode-only streams: frames with the effects applied; -1 at the end.
    int getData(float* dst, int maxFrames);

    HFX addEffect(HFX id, int priority);
    bool removeEffect(HFX id);
    bool hasEffect(HFX id) const;
    bool setEffectParameters(HFX id, const BASS_BFX_PEAKEQ& params);
    bool effectParameters(HFX id, BASS_BFX_PEAKEQ& params) const;

    void addSync(const SyncEntry& sync);
    bool removeSync(HSYNC id);

    // --- output thread --------------------------------------------------------
    enum class MixResult { Idle, Playing, EndReached };
    // Adds this stream's next `frames` device frames (stereo, device rate)
    // into `out`. EndReached: the stream's last frame went out in this
    // buffer (the sync thread should look at takeDueEnd). `latency` is how
    // long the device takes to sound what it is handed.
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
        int frames = 0;
        float peakLeft = 0, peakRight = 0;
    };

    void decoderLoop();
    // With m_decoderMutex held: decodes up to `frames` frames into the ring.
    void fillRing(int frames);
    void resetPlaybackLocked(int64_t frame);
    // Takes up to `frames` frames from the ring, runs effects, level and
    // volume, and writes them as stereo into m_stereo. Returns the count.
    int pullStereo(int frames);
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
    bool m_quit = false;
    std::vector<float> m_ring;
    int m_ringCapacity = 0;  // frames
    int m_ringHead = 0;
    int m_ringCount = 0;
    bool m_decodeEnded = false;  // the decoder has delivered its last frame

    DWORD m_state = BASS_ACTIVE_STOPPED;
    bool m_starved = false;
    bool m_endPending = false;      // the last frame was handed to the device
    Clock::time_point m_endDue{};   // ... and is heard at this time
    bool m_atEnd = false;           // stopped by the end of the stream
    int64_t m_consumed = 0;         // frames taken from the ring (stream rate)
    int64_t m_heard = 0;            // frame being heard
    float m_volume = 1.0f;
    std::vector<Effect> m_effects;
    std::vector<SyncEntry> m_syncs;
    LevelBlock m_levels[8];
    int m_levelNext = 0;

    SwrContext* m_resampler = nullptr;  // only when the rates differ
    bool m_resamplerFlushed = false;
    std::vector<float> m_scratch;  // stream-channel frames of one chunk
    std::vector<float> m_stereo;   // the same as stereo
    std::vector<float> m_converted;  // resampled stereo

    std::thread m_thread;
};

}  // namespace velmo::audio
