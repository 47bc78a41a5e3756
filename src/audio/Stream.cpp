#include "audio/Stream.h"

#include "audio/FfmpegApi.h"

#include <algorithm>
#include <cmath>

namespace velmo::audio {
namespace {

constexpr int kChunk = 1024;           // frames moved through the effects at once
constexpr int kDecodeChunk = 4096;     // frames the decoder thread adds at once
constexpr int kSeekPrefill = 4096;     // frames decoded by a seek before it returns
constexpr double kLevelWindow = 0.020;  // the level meter looks at the last 20 ms

}  // namespace

Stream::Stream(std::unique_ptr<Decoder> decoder, DWORD flags, int deviceRate)
    : m_decodeOnly(flags & BASS_STREAM_DECODE),
      m_flags(flags),
      m_rate(decoder->rate()),
      m_channels(decoder->channels()),
      m_deviceRate(deviceRate),
      m_decoder(std::move(decoder)) {
    if (m_decodeOnly)
        return;
    m_ringCapacity = std::max(m_rate, 4 * kDecodeChunk);
    m_ring.resize(size_t(m_ringCapacity) * m_channels);
    m_scratch.resize(size_t(kChunk) * m_channels);
    m_stereo.resize(2 * kChunk);
    if (m_rate != m_deviceRate) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        ffmpeg().swr_alloc_set_opts2(&m_resampler, &stereo, AV_SAMPLE_FMT_FLT, m_deviceRate, &stereo, AV_SAMPLE_FMT_FLT,
                            m_rate, 0, nullptr);
        if (m_resampler && ffmpeg().swr_init(m_resampler) < 0)
            ffmpeg().swr_free(&m_resampler);
        m_converted.resize(2 * size_t(kChunk) * 4);
    }
    {
        // Some sound is ready before the stream is first played.
        std::lock_guard<std::mutex> decoding(m_decoderMutex);
        fillRing(kSeekPrefill);
    }
    m_thread = std::thread([this] { decoderLoop(); });
}

Stream::~Stream() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    ffmpeg().swr_free(&m_resampler);
}

// --- decoder thread ---------------------------------------------------------

void Stream::decoderLoop() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] {
                return m_quit || (!m_decodeEnded && m_ringCapacity - m_ringCount >= kDecodeChunk);
            });
            if (m_quit)
                return;
        }
        std::lock_guard<std::mutex> decoding(m_decoderMutex);
        fillRing(kDecodeChunk);
    }
}

void Stream::fillRing(int frames) {
    int room;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_decodeEnded)
            return;
        room = std::min(frames, m_ringCapacity - m_ringCount);
    }
    if (room <= 0)
        return;
    // Decode straight into the free part of the ring: only this function
    // writes there, and it runs with m_decoderMutex held.
    int tail;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        tail = (m_ringHead + m_ringCount) % m_ringCapacity;
    }
    const int first = std::min(room, m_ringCapacity - tail);
    int got = m_decoder->read(m_ring.data() + size_t(tail) * m_channels, first);
    if (got == first && room > first)
        got += m_decoder->read(m_ring.data(), room - first);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ringCount += got;
    if (got < room)
        m_decodeEnded = true;
}

// --- GUI thread ---------------------------------------------------------------

void Stream::resetPlaybackLocked(int64_t frame) {
    m_ringHead = m_ringCount = 0;
    m_decodeEnded = false;
    m_endPending = false;
    m_atEnd = false;
    m_starved = false;
    m_consumed = m_heard = frame;
    for (Effect& e : m_effects)
        e.eq.reset();
    if (m_resampler) {
        ffmpeg().swr_close(m_resampler);
        ffmpeg().swr_init(m_resampler);
    }
    m_resamplerFlushed = false;
    for (LevelBlock& b : m_levels)
        b = LevelBlock{};
}

bool Stream::setPositionFrames(int64_t frame) {
    std::lock_guard<std::mutex> decoding(m_decoderMutex);
    const bool moved = m_decoder->seek(frame);
    if (m_decodeOnly) {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (Effect& e : m_effects)
            e.eq.reset();
        return moved;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        resetPlaybackLocked(m_decoder->position());
    }
    // Decode a little at once so the next output callback already plays the
    // new position.
    fillRing(kSeekPrefill);
    m_wake.notify_all();
    return moved;
}

void Stream::play(bool restart) {
    bool rewind = restart;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        rewind = rewind || m_atEnd;
    }
    if (rewind && !m_decodeOnly)
        setPositionFrames(0);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state = BASS_ACTIVE_PLAYING;
}

void Stream::pause() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state == BASS_ACTIVE_PLAYING)
        m_state = BASS_ACTIVE_PAUSED;
}

void Stream::stop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state = BASS_ACTIVE_STOPPED;
    m_endPending = false;
}

DWORD Stream::state() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state == BASS_ACTIVE_PLAYING && m_starved && !m_endPending && !m_decodeEnded)
        return BASS_ACTIVE_STALLED;
    return m_state;
}

int64_t Stream::positionFrames() const {
    if (m_decodeOnly)
        return m_decoder->position();
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_heard;
}

void Stream::setVolume(float volume) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_volume = std::max(0.0f, volume);
}

float Stream::volume() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_volume;
}

DWORD Stream::level() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != BASS_ACTIVE_PLAYING)
        return 0xFFFFFFFFu;
    const int window = int(m_rate * kLevelWindow);
    float left = 0, right = 0;
    int covered = 0;
    for (int i = 1; i <= 8 && covered < window; ++i) {
        const LevelBlock& b = m_levels[(m_levelNext - i + 8) % 8];
        left = std::max(left, b.peakLeft);
        right = std::max(right, b.peakRight);
        covered += b.frames;
    }
    auto word = [](float peak) { return DWORD(std::lround(std::min(peak, 1.0f) * 32768.0f)); };
    return word(left) | (word(right) << 16);
}

int Stream::getData(float* dst, int maxFrames) {
    std::lock_guard<std::mutex> decoding(m_decoderMutex);
    const int got = m_decoder->read(dst, maxFrames);
    if (got == 0)
        return -1;
    std::lock_guard<std::mutex> lock(m_mutex);
    applyEffects(dst, got);
    return got;
}

HFX Stream::addEffect(HFX id, int priority) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Effect effect{id, priority, PeakEq{}};
    // Higher priority runs first; equal priorities in the order added.
    auto at = std::find_if(m_effects.begin(), m_effects.end(), [&](const Effect& e) { return e.priority < priority; });
    m_effects.insert(at, effect);
    return id;
}

bool Stream::removeEffect(HFX id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = std::find_if(m_effects.begin(), m_effects.end(), [&](const Effect& e) { return e.id == id; });
    if (it == m_effects.end())
        return false;
    m_effects.erase(it);
    return true;
}

bool Stream::setEffectParameters(HFX id, const BASS_BFX_PEAKEQ& params) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Effect& e : m_effects)
        if (e.id == id)
            return e.eq.setParameters(params, m_rate);
    return false;
}

bool Stream::effectParameters(HFX id, BASS_BFX_PEAKEQ& params) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Effect& e : m_effects)
        if (e.id == id) {
            params = e.eq.parameters();
            return true;
        }
    return false;
}

void Stream::addSync(const SyncEntry& sync) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_syncs.push_back(sync);
}

bool Stream::removeSync(HSYNC id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto before = m_syncs.size();
    std::erase_if(m_syncs, [&](const SyncEntry& s) { return s.id == id; });
    return m_syncs.size() != before;
}

// --- output thread ------------------------------------------------------------

void Stream::applyEffects(float* samples, int frames) {
    PeakEq* chain[32];
    int count = 0;
    for (Effect& e : m_effects) {
        chain[count++] = &e.eq;
        if (count == 32) {
            PeakEq::processChain(chain, count, samples, frames, m_channels);
            count = 0;
        }
    }
    PeakEq::processChain(chain, count, samples, frames, m_channels);
}

int Stream::pullStereo(int frames) {
    const int n = std::min(frames, m_ringCount);
    if (n <= 0)
        return 0;
    const int first = std::min(n, m_ringCapacity - m_ringHead);
    std::copy_n(m_ring.data() + size_t(m_ringHead) * m_channels, size_t(first) * m_channels, m_scratch.data());
    std::copy_n(m_ring.data(), size_t(n - first) * m_channels, m_scratch.data() + size_t(first) * m_channels);
    m_ringHead = (m_ringHead + n) % m_ringCapacity;
    m_ringCount -= n;
    m_consumed += n;
    if (!m_decodeEnded && m_ringCapacity - m_ringCount >= kDecodeChunk)
        m_wake.notify_one();

    applyEffects(m_scratch.data(), n);

    // The meter reads the sound after the effects, before the volume.
    float peakLeft = 0, peakRight = 0;
    const float* s = m_scratch.data();
    float* out = m_stereo.data();
    const float volume = m_volume;
    if (m_channels == 1) {
        for (int i = 0; i < n; ++i) {
            peakLeft = std::max(peakLeft, std::fabs(s[i]));
            out[2 * i] = out[2 * i + 1] = s[i] * volume;
        }
        peakRight = peakLeft;
    } else {
        for (int i = 0; i < n; ++i) {
            const float l = s[i * m_channels], r = s[i * m_channels + 1];
            peakLeft = std::max(peakLeft, std::fabs(l));
            peakRight = std::max(peakRight, std::fabs(r));
            out[2 * i] = l * volume;
            out[2 * i + 1] = r * volume;
        }
    }
    m_levels[m_levelNext] = LevelBlock{n, peakLeft, peakRight};
    m_levelNext = (m_levelNext + 1) % 8;
    return n;
}

Stream::MixResult Stream::mix(float* out, int frames, double latency) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != BASS_ACTIVE_PLAYING)
        return MixResult::Idle;
    if (m_endPending)
        return MixResult::Playing;  // the last frames are still sounding

    int done = 0;
    if (!m_resampler) {
        while (done < frames) {
            const int n = pullStereo(std::min(frames - done, kChunk));
            if (n == 0)
                break;
            for (int i = 0; i < 2 * n; ++i)
                out[2 * done + i] += m_stereo[i];
            done += n;
        }
        m_heard = m_consumed;
    } else {
        const int capacity = int(m_converted.size() / 2);
        auto addConverted = [&](int got) {
            for (int i = 0; i < 2 * got; ++i)
                out[2 * done + i] += m_converted[i];
            done += got;
        };
        while (done < frames) {
            uint8_t* convertedOut = reinterpret_cast<uint8_t*>(m_converted.data());
            const uint8_t* none = reinterpret_cast<const uint8_t*>(m_stereo.data());
            // First what the resampler already holds, then new input.
            int got = ffmpeg().swr_convert(m_resampler, &convertedOut, std::min(capacity, frames - done), &none, 0);
            if (got > 0)
                addConverted(got);
            if (done >= frames)
                break;
            const int want = int(int64_t(frames - done) * m_rate / m_deviceRate) + 2;
            const int n = pullStereo(std::min(want, kChunk));
            if (n == 0) {
                if (!m_decodeEnded || m_ringCount > 0 || m_resamplerFlushed)
                    break;
                m_resamplerFlushed = true;
                got = ffmpeg().swr_convert(m_resampler, &convertedOut, std::min(capacity, frames - done), nullptr, 0);
            } else {
                const uint8_t* in = reinterpret_cast<const uint8_t*>(m_stereo.data());
                got = ffmpeg().swr_convert(m_resampler, &convertedOut, std::min(capacity, frames - done), &in, n);
            }
            if (got > 0)
                addConverted(got);
        }
        const int64_t delay = m_resamplerFlushed ? 0 : ffmpeg().swr_get_delay(m_resampler, m_rate);
        m_heard = std::max<int64_t>(0, m_consumed - delay);
    }

    m_starved = done < frames;
    const bool drained = m_decodeEnded && m_ringCount == 0 && (!m_resampler || m_resamplerFlushed);
    if (m_starved && drained) {
        // The stream's last frame is in this buffer: it is heard once the
        // device has played what it holds.
        m_endPending = true;
        m_heard = m_consumed;
        const double wait = latency + double(done) / m_deviceRate;
        m_endDue = Clock::now() + std::chrono::microseconds(int64_t(wait * 1e6));
        return MixResult::EndReached;
    }
    return MixResult::Playing;
}

// --- sync thread --------------------------------------------------------------

bool Stream::takeDueEnd(Clock::time_point now, std::vector<SyncEntry>& syncs, Clock::time_point& next) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_endPending || m_state != BASS_ACTIVE_PLAYING)
        return false;
    if (now < m_endDue) {
        next = std::min(next, m_endDue);
        return false;
    }
    m_endPending = false;
    m_atEnd = true;
    m_state = BASS_ACTIVE_STOPPED;
    syncs = m_syncs;
    return true;
}

}  // namespace velmo::audio
