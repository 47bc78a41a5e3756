#include "audio/Stream.h"

#include <algorithm>
#include <cmath>

namespace velmo::audio {
namespace {

constexpr int kChunk = 1024;           // frames moved through the effects at once
constexpr int kDecodeChunk = 4096;     // frames the decoder thread adds at once
constexpr int kSeekPrefill = 4096;     // frames decoded by a seek before it returns
constexpr double kLevelWindow = 0.020;  // the level meter looks at the last 20 ms
constexpr int kMaxRingFrames = 192000;
// How long a seek waits for the decoder thread before it leaves the seek to
// it: far longer than a seek on a working disk takes, even on a busy machine.
constexpr auto kSeekWait = std::chrono::milliseconds(200);

// Seek failures and stalled reads tests ask for (AudioTestApi.h).
std::atomic<int> s_seekFaults{0};
std::atomic<int64_t> s_strayFrame{0};
std::atomic<bool> s_readsHeld{false};
std::mutex s_readsHeldMutex;
std::condition_variable s_readsReleased;

void waitWhileReadsHeld() {
    if (!s_readsHeld)
        return;
    std::unique_lock<std::mutex> lock(s_readsHeldMutex);
    s_readsReleased.wait(lock, [] { return !s_readsHeld; });
}

}  // namespace

std::shared_ptr<Stream> Stream::create(std::unique_ptr<Decoder> decoder, DWORD flags, int deviceRate, int* error) {
    std::unique_ptr<StereoConverter> converter;
    if (!(flags & BASS_STREAM_DECODE)) {
        converter = StereoConverter::make(decoder->channelMask(), decoder->channels(), decoder->rate(), deviceRate,
                                          error);
        if (!converter)
            return nullptr;
    }
    return std::make_shared<Stream>(std::move(decoder), flags, std::move(converter), deviceRate);
}

Stream::Stream(std::unique_ptr<Decoder> decoder, DWORD flags, std::unique_ptr<StereoConverter> converter,
               int deviceRate)
    : m_decodeOnly(flags & BASS_STREAM_DECODE),
      m_flags(flags),
      m_rate(decoder->rate()),
      m_channels(decoder->channels()),
      m_deviceRate(deviceRate),
      m_decoder(std::move(decoder)),
      m_converter(std::move(converter)) {
    if (m_decodeOnly)
        return;
    // About a second of sound, within bounds whatever rate the file claims.
    m_ringCapacity = std::clamp(m_rate, 4 * kDecodeChunk, kMaxRingFrames);
    m_ring.resize(size_t(m_ringCapacity) * m_channels);
    m_scratch.resize(size_t(kChunk) * m_channels);
    m_converted.resize(2 * size_t(kChunk));
    m_stretchIn.resize(size_t(TimeStretcher::kMaxPut) * m_channels);
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
}

// --- decoder thread ---------------------------------------------------------

void Stream::decoderLoop() {
    for (;;) {
        std::optional<SeekRequest> seek;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] {
                return m_quit || m_seekRequest || (!m_decodeEnded && m_ringCapacity - m_ringCount >= kDecodeChunk);
            });
            if (m_quit)
                return;
            seek.swap(m_seekRequest);
        }
        std::lock_guard<std::mutex> decoding(m_decoderMutex);
        if (!seek) {
            fillRing(kDecodeChunk);
            continue;
        }
        const bool moved = seekLocked(seek->frame, seek->callerWaits);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_seekDoneSerial = seek->serial;
        m_seekDoneMoved = moved;
        if (!m_seekRequest)
            m_seekOverdue = false;
        m_seekDone.notify_all();
    }
}

void Stream::fillRing(int frames) {
    int room, tail;
    int64_t seq;  // playing order of the first frame added
    LoopRange loop;
    uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_decodeEnded)
            return;
        generation = m_ringGeneration;
        room = std::min(frames, m_ringCapacity - m_ringCount);
        tail = (m_ringHead + m_ringCount) % m_ringCapacity;
        seq = m_consumed + m_ringCount;
        loop = m_loop;
    }
    if (room <= 0)
        return;
    const int64_t pos = m_decoder->position();
    const bool inLoop = loop.contains(pos);
    const int want = inLoop ? int(std::min<int64_t>(room, loop.end - pos)) : room;
    // Decode straight into the free part of the ring: only this function
    // writes there, and it runs with m_decoderMutex held.
    const int first = std::min(want, m_ringCapacity - tail);
    waitWhileReadsHeld();
    int got = m_decoder->read(m_ring.data() + size_t(tail) * m_channels, first);
    if (got == first && want > first)
        got += m_decoder->read(m_ring.data(), want - first);
    // The next pass starts at the loop's end, or where the file ends inside
    // the loop; straight away, so that it follows without a gap.
    const bool wrap = inLoop && (got == want ? pos + got == loop.end : got > 0 || pos > loop.start);
    const bool wrapped = wrap && seekDecoder(loop.start);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A seek that did not wait for this read emptied the ring: these
        // frames are from before it, and the decoder seeks next.
        if (generation != m_ringGeneration)
            return;
        m_ringCount += got;
        if (wrapped)
            m_sources.jump(seq + got, loop.start);
        else if (got < want || wrap)
            m_decodeEnded = true;
    }
    m_filled.notify_all();
}

void Stream::waitUntilDecoded() {
    if (m_decodeOnly)
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_filled.wait_for(lock, std::chrono::seconds(5),
                      [this] { return m_decodeEnded || m_ringCapacity - m_ringCount < kDecodeChunk; });
}

// --- GUI thread ---------------------------------------------------------------

void Stream::resetPlaybackLocked(int64_t frame) {
    ++m_ringGeneration;
    m_ringHead = m_ringCount = 0;
    m_decodeEnded = false;
    m_endPending = false;
    m_atEnd = false;
    m_starved = false;
    m_consumed = 0;
    m_sources.reset(0, frame);
    m_stretching = m_speed != 1.0;
    if (m_stretching) {
        if (!m_stretcher)
            m_stretcher = std::make_unique<TimeStretcher>(m_rate, m_channels);
        m_stretcher->reset(m_speed);
        m_stretchBase = 0;
    }
    for (Effect& e : m_effects)
        e.eq.reset();
    if (m_converter)
        m_converter->reset();
    m_converterFlushed = false;
    for (LevelBlock& b : m_levels)
        b = LevelBlock{};
    restartClockLocked(0);
}

void Stream::restartClockLocked(int64_t seq) {
    m_handed = m_restartSeq = seq;
    m_segmentCount = 0;
}

bool Stream::seekDecoder(int64_t frame) {
    if (s_seekFaults.load() > 0) {
        s_seekFaults--;
        m_decoder->seek(s_strayFrame.load());
        return false;
    }
    return m_decoder->seek(frame);
}

void Stream::injectSeekFaults(int count, int64_t strayFrame) {
    s_strayFrame = strayFrame;
    s_seekFaults = count;
}

void Stream::holdDecoderReads(bool hold) {
    {
        std::lock_guard<std::mutex> lock(s_readsHeldMutex);
        s_readsHeld = hold;
    }
    s_readsReleased.notify_all();
}

bool Stream::decoderBusy() {
    if (!m_decoderMutex.try_lock())
        return true;
    m_decoderMutex.unlock();
    return false;
}

bool Stream::setPositionFrames(int64_t frame) {
    if (!m_decodeOnly)
        return seekOnDecoderThread(frame);
    std::lock_guard<std::mutex> decoding(m_decoderMutex);
    return seekLocked(frame, true);
}

bool Stream::seekOnDecoderThread(int64_t frame) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const uint64_t serial = ++m_seekSerial;
    if (!m_seekOverdue) {
        m_seekRequest = SeekRequest{frame, serial, true};
        m_wake.notify_all();
        if (m_seekDone.wait_for(lock, kSeekWait, [&] { return m_seekDoneSerial >= serial; }))
            return m_seekDoneMoved;
        m_seekOverdue = true;
    }
    // The decoder is held up (a stalled read): it seeks once it is back,
    // again should it have taken the request already, and until then the
    // stream is silent at the new place. A newer seek replaces this one.
    m_seekRequest = SeekRequest{frame, serial, false};
    resetPlaybackLocked(frame);
    m_wake.notify_all();
    return true;
}

bool Stream::seekLocked(int64_t frame, bool callerWaits) {
    const int64_t before = m_decoder->position();
    const bool moved = seekDecoder(frame);
    // A failed seek may have moved the decoder anyway. Back where it was,
    // the ring and the position stay as they are; if even that fails, or
    // the sound already left the ring for the new place, the stream plays
    // on from wherever the decoder is and says so.
    if (!moved && callerWaits && seekDecoder(before) && m_decoder->position() == before)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_decodeOnly) {
            for (Effect& e : m_effects)
                e.eq.reset();
            return moved;
        }
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
    if (m_state != BASS_ACTIVE_PLAYING)
        restartClockLocked(m_handed);
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

void Stream::setSpeed(double speed) {
    int64_t frame;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_speed = speed;
        const bool stretch = speed != 1.0;
        if (m_decodeOnly || stretch == m_stretching) {
            if (m_stretching)
                m_stretcher->setSpeed(speed);
            return;
        }
        // Ended: the next play starts over, and the stretcher with it.
        if (m_atEnd || m_endPending)
            return;
        frame = m_sources.frameAt(m_handed);
    }
    // The stretcher comes in or goes out: the sound goes on from the frame
    // the device gets next.
    setPositionFrames(frame);
}

double Stream::speed() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_speed;
}

void Stream::setLoop(const LoopRange& loop) {
    std::lock_guard<std::mutex> decoding(m_decoderMutex);
    int64_t resume;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_loop = loop;
        // Past the file's last frame nothing can follow any more.
        if (m_decodeOnly || m_converterFlushed || m_endPending || (m_stretching && m_stretcher->inputEnded()))
            return;
        // Decoded frames stay as far as they follow the new rule; the
        // decoder goes on from the first one that does not.
        const int64_t written = m_consumed + m_ringCount;
        const int64_t cut = m_sources.firstDeparture(m_consumed, written, m_loop);
        resume = m_sources.expectedAt(cut, m_loop);
        if (cut == written && resume == m_decoder->position())
            return;
        m_ringCount = int(cut - m_consumed);
        m_decodeEnded = false;
        m_sources.dropFrom(cut);
        if (m_sources.frameAt(cut) != resume)
            m_sources.jump(cut, resume);
    }
    if (!seekDecoder(resume)) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_decodeEnded = true;
    }
    m_wake.notify_all();
}

LoopRange Stream::loop() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_loop;
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
    return heardFrameLocked();
}

int64_t Stream::heardFrameLocked() const {
    if (m_state != BASS_ACTIVE_PLAYING)
        return m_sources.frameAt(m_handed);
    // The device frame being heard, and the file frame it carries.
    const int64_t heard = m_deviceClock - m_latencyFrames;
    for (int i = 1; i <= m_segmentCount; ++i) {
        const Segment& s = m_segments[(m_segmentNext - i + kSegments) % kSegments];
        if (heard >= s.deviceEnd)
            return m_sources.frameAt(s.seqEnd);
        if (heard >= s.deviceBegin)
            return m_sources.frameAt(s.seqBegin + (heard - s.deviceBegin) * (s.seqEnd - s.seqBegin) /
                                                      (s.deviceEnd - s.deviceBegin));
    }
    if (m_segmentCount == kSegments)  // older than what is kept: the oldest known
        return m_sources.frameAt(m_segments[m_segmentNext].seqBegin);
    return m_sources.frameAt(m_restartSeq);
}

int64_t Stream::handedSeqLocked() const {
    if (m_converterFlushed)
        return m_consumed;
    const double delay = double(m_converter->delay());
    if (!m_stretching)
        return std::max<int64_t>(0, m_consumed - int64_t(delay));
    // The stretcher's output stands for its input at the speed it ran at.
    const double seq = double(m_stretchBase) + m_stretcher->inputTaken() - delay * m_speed;
    return std::clamp<int64_t>(std::llround(seq), m_stretchBase, m_consumed);
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
    const int window = int(m_deviceRate * kLevelWindow);
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

int Stream::pullFrames(float* dst, int frames) {
    const int n = std::min(frames, m_ringCount);
    if (n <= 0)
        return 0;
    const int first = std::min(n, m_ringCapacity - m_ringHead);
    std::copy_n(m_ring.data() + size_t(m_ringHead) * m_channels, size_t(first) * m_channels, dst);
    std::copy_n(m_ring.data(), size_t(n - first) * m_channels, dst + size_t(first) * m_channels);
    m_ringHead = (m_ringHead + n) % m_ringCapacity;
    m_ringCount -= n;
    m_consumed += n;
    if (!m_decodeEnded && m_ringCapacity - m_ringCount >= kDecodeChunk)
        m_wake.notify_one();
    applyEffects(dst, n);
    return n;
}

int Stream::stretchSome(int frames) {
    for (;;) {
        const int got = m_stretcher->take(m_scratch.data(), std::min(frames, kChunk));
        if (got > 0 || m_stretcher->finished())
            return got;
        const int n = pullFrames(m_stretchIn.data(), TimeStretcher::kMaxPut);
        if (n > 0)
            m_stretcher->put(m_stretchIn.data(), n, false);
        else if (m_decodeEnded && m_ringCount == 0 && !m_stretcher->inputEnded())
            m_stretcher->put(m_stretchIn.data(), 0, true);
        else
            return 0;
    }
}

bool Stream::sourceDrainedLocked() const {
    return m_decodeEnded && m_ringCount == 0 && (!m_stretching || m_stretcher->finished());
}

int Stream::convertSome(int frames) {
    const int capacity = std::min(frames, int(m_converted.size() / 2));
    // First what the converter already holds, then new frames.
    int got = m_converter->convert(nullptr, 0, m_converted.data(), capacity);
    if (got > 0)
        return got;
    const int want = int(int64_t(capacity) * m_rate / m_deviceRate) + 2;
    const int n = m_stretching ? stretchSome(want) : pullFrames(m_scratch.data(), std::min(want, kChunk));
    if (n > 0)
        return m_converter->convert(m_scratch.data(), n, m_converted.data(), capacity);
    if (sourceDrainedLocked() && !m_converterFlushed) {
        m_converterFlushed = true;
        return m_converter->flush(m_converted.data(), capacity);
    }
    return 0;
}

void Stream::deliver(float* out, int frames) {
    // The meter reads the sound as the speakers get it, before the volume.
    float peakLeft = 0, peakRight = 0;
    const float volume = m_volume;
    const float* s = m_converted.data();
    for (int i = 0; i < frames; ++i) {
        peakLeft = std::max(peakLeft, std::fabs(s[2 * i]));
        peakRight = std::max(peakRight, std::fabs(s[2 * i + 1]));
        out[2 * i] += s[2 * i] * volume;
        out[2 * i + 1] += s[2 * i + 1] * volume;
    }
    m_levels[m_levelNext] = LevelBlock{frames, peakLeft, peakRight};
    m_levelNext = (m_levelNext + 1) % 8;
}

Stream::MixResult Stream::mix(float* out, int frames, double latency) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int64_t deviceBegin = m_deviceClock;
    m_deviceClock += frames;
    m_latencyFrames = std::llround(latency * m_deviceRate);
    if (m_state != BASS_ACTIVE_PLAYING)
        return MixResult::Idle;
    if (m_endPending)
        return MixResult::Playing;  // the last frames are still sounding

    int done = 0;
    bool stalled = false;
    while (done < frames && !stalled) {
        const int got = convertSome(frames - done);
        deliver(out + 2 * done, got);
        done += got;
        stalled = got == 0;
    }
    const int64_t handedBefore = m_handed;
    m_handed = handedSeqLocked();
    if (done > 0) {
        m_segments[m_segmentNext] = Segment{deviceBegin, deviceBegin + done, handedBefore, m_handed};
        m_segmentNext = (m_segmentNext + 1) % kSegments;
        m_segmentCount = std::min(m_segmentCount + 1, kSegments);
    }

    m_starved = done < frames;
    const bool drained = sourceDrainedLocked() && m_converterFlushed;
    if (m_starved && drained) {
        // The stream's last frame is in this buffer: it is heard once the
        // device has played what it holds before it.
        m_endPending = true;
        const double wait = std::max(0.0, latency - double(frames - done) / m_deviceRate);
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
