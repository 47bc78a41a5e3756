// The library's public functions: the handle table, the device and its
// mixer, and the sync thread that reports the end of streams.

#include "audio/AudioOutput.h"
#include "audio/AudioTestApi.h"
#include "audio/FfmpegApi.h"
#include "audio/NullOutput.h"
#include "audio/Stream.h"
#include "audio/Utf16Path.h"
#include "audio/bass.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#if VELMO_X86
#include <xmmintrin.h>
#endif

using velmo::audio::AudioOutput;
using velmo::audio::Decoder;
using velmo::audio::NullOutput;
using velmo::audio::Stream;
using velmo::audio::SyncEntry;

namespace {

struct Library {
    bool deviceOutput = true;
    NullOutput::Pace nullPace = NullOutput::Pace::RealTime;
    double nullLatency = -1;
    DWORD unicodeConfig = 0;

    std::atomic<bool> initialized{false};
    std::atomic<int> deviceRate{0};  // read by files opening on other threads
    std::unique_ptr<AudioOutput> output;
    NullOutput* nullOutput = nullptr;  // the output, when it is the null one
    double latency = 0;
    // Streams the mixer visits; changed only with the output locked.
    std::vector<Stream*> mixed;

    // Held while a sync proc runs, and by whatever frees streams, so that no
    // proc of a stream runs after its free returned. Recursive: a proc on
    // the sync thread may itself free a stream.
    std::recursive_mutex syncCalls;
    std::mutex table;  // the maps below
    std::map<DWORD, std::shared_ptr<Stream>> streams;
    std::map<HFX, DWORD> effectOwner;
    DWORD nextStream = 1;
    HFX nextEffect = 1;
    HSYNC nextSync = 1;

    std::thread syncThread;
    std::mutex syncMutex;
    std::condition_variable syncWake;
    bool syncQuit = false;
    bool syncPoke = false;

    // The output sleeps once nothing has played for a while (so the last
    // sound handed over has been heard) and wakes when a stream plays.
    std::mutex sleepMutex;  // outputAsleep and the output's sleep and wake
    bool outputAsleep = false;
    std::atomic<int64_t> idleFrames{0};  // output thread: silent frames in a row
    int64_t sleepAfterFrames = 0;
    std::atomic<bool> sleepAsked{false};
};

Library g;
thread_local int t_error = BASS_OK;

template <typename T>
T fail(int code, T result) {
    t_error = code;
    return result;
}
BOOL fail(int code) { return fail<BOOL>(code, FALSE); }
template <typename T>
T ok(T result) {
    t_error = BASS_OK;
    return result;
}

std::shared_ptr<Stream> findStream(DWORD handle) {
    std::lock_guard<std::mutex> lock(g.table);
    auto it = g.streams.find(handle);
    return it == g.streams.end() ? nullptr : it->second;
}

std::shared_ptr<Stream> findEffectStream(HFX fx) {
    std::lock_guard<std::mutex> lock(g.table);
    auto owner = g.effectOwner.find(fx);
    if (owner == g.effectOwner.end())
        return nullptr;
    auto it = g.streams.find(owner->second);
    return it == g.streams.end() ? nullptr : it->second;
}

QWORD bytesPerFrame(const Stream& s) { return QWORD(s.channels()) * sizeof(float); }

// Output thread: sums every playing stream into the device buffer.
bool mixAll(float* out, int frames, void*) {
#if VELMO_X86
    // Flush denormals to zero: filter tails decaying into them are slow.
    // Elsewhere the filters zero their own tiny state (PeakEq.cpp).
    _mm_setcsr(_mm_getcsr() | 0x8040);
#endif
    std::fill(out, out + 2 * frames, 0.0f);
    bool active = false;
    bool ended = false;
    for (Stream* s : g.mixed) {
        const auto result = s->mix(out, frames, g.latency);
        active = active || result != Stream::MixResult::Idle;
        ended = ended || result == Stream::MixResult::EndReached;
    }
    const bool idleLongEnough = !active && (g.idleFrames += frames) >= g.sleepAfterFrames;
    if (active)
        g.idleFrames = 0;
    const bool askSleep = idleLongEnough && !g.sleepAsked.exchange(true);
    if (ended || askSleep) {
        std::lock_guard<std::mutex> lock(g.syncMutex);
        g.syncPoke = true;
        g.syncWake.notify_one();
    }
    return active;
}

bool anyStreamPlaying() {
    std::lock_guard<std::mutex> lock(g.table);
    return std::ranges::any_of(g.streams, [](const auto& entry) {
        const Stream& s = *entry.second;
        return !s.decodeOnly() && s.state() != BASS_ACTIVE_STOPPED && s.state() != BASS_ACTIVE_PAUSED;
    });
}

// Sync thread, when the mixer asked.
void sleepOutputIfIdle() {
    std::lock_guard<std::mutex> lock(g.sleepMutex);
    if (g.outputAsleep || !g.output)
        return;
    if (anyStreamPlaying()) {
        g.idleFrames = 0;
        g.sleepAsked = false;
        return;
    }
    g.output->sleep();
    g.outputAsleep = true;
}

// After a stream was set playing.
void wakeOutput() {
    std::lock_guard<std::mutex> lock(g.sleepMutex);
    g.idleFrames = 0;
    g.sleepAsked = false;
    if (!g.outputAsleep || !g.output)
        return;
    g.output->wake();
    g.outputAsleep = false;
}

// Sync thread: stops streams whose last frame has been heard and calls
// their end syncs.
// Asleep until the mixer pokes it or a pending end falls due; it also puts
// the idle output to sleep.
void syncLoop() {
    using Clock = Stream::Clock;
    constexpr auto never = Clock::time_point::max();
    auto next = never;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(g.syncMutex);
            const auto woken = [] { return g.syncQuit || g.syncPoke; };
            if (next == never)
                g.syncWake.wait(lock, woken);
            else
                g.syncWake.wait_until(lock, next, woken);
            if (g.syncQuit)
                return;
            g.syncPoke = false;
        }
        if (g.sleepAsked)
            sleepOutputIfIdle();
        const auto now = Clock::now();
        next = never;
        std::lock_guard<std::recursive_mutex> calls(g.syncCalls);
        std::vector<std::pair<DWORD, std::vector<SyncEntry>>> due;
        {
            std::lock_guard<std::mutex> lock(g.table);
            for (auto& [handle, stream] : g.streams) {
                std::vector<SyncEntry> syncs;
                if (!stream->decodeOnly() && stream->takeDueEnd(now, syncs, next))
                    due.emplace_back(handle, std::move(syncs));
            }
        }
        for (auto& [handle, syncs] : due)
            for (const SyncEntry& s : syncs)
                s.proc(s.id, handle, 0, s.user);
    }
}

// Drops a freed stream. One whose decoder is inside a read (a stalled disk
// or a pipe that never delivers) ends on a thread of its own once the read
// returns, so that freeing never waits for it.
void release(std::shared_ptr<Stream> stream) {
    if (stream && stream->decoderBusy())
        std::thread([held = std::move(stream)]() mutable { held.reset(); }).detach();
}

void unmix(Stream* stream) {
    if (!g.output)
        return;
    g.output->lock();
    std::erase(g.mixed, stream);
    g.output->unlock();
}

}  // namespace

namespace velmo::audio::test {
void useNullOutput(bool untimed) {
    g.deviceOutput = false;
    g.nullPace = untimed ? NullOutput::Pace::Untimed : NullOutput::Pace::RealTime;
}
void useSteppedNullOutput() {
    g.deviceOutput = false;
    g.nullPace = NullOutput::Pace::Stepped;
}
void useDeviceOutput() { g.deviceOutput = true; }
void setNullOutputLatency(double seconds) { g.nullLatency = seconds; }
void stepNullOutput(int buffers) {
    if (!g.nullOutput)
        return;
    for (int i = 0; i < buffers; ++i) {
        // A device that never outruns the decoders, however fast it steps.
        std::vector<std::shared_ptr<Stream>> streams;
        {
            std::lock_guard<std::mutex> lock(g.table);
            for (auto& [handle, stream] : g.streams)
                streams.push_back(stream);
        }
        for (auto& stream : streams)
            stream->waitUntilDecoded();
        g.nullOutput->step(1);
    }
}
bool nullOutputPulling() { return g.nullOutput && g.nullOutput->pulling(); }
std::vector<float> takeNullOutputTap() { return g.nullOutput ? g.nullOutput->takeTap() : std::vector<float>{}; }
void failNextSeeks(int count, long long strayFrame) { Stream::injectSeekFaults(count, strayFrame); }
void holdDecoderReads(bool hold) { Stream::holdDecoderReads(hold); }
}  // namespace velmo::audio::test

// --- library ---------------------------------------------------------------------

BOOL BASS_Init(int, DWORD freq, DWORD, void*, const void*) {
    if (g.initialized)
        return fail(BASS_ERROR_ALREADY);
    std::unique_ptr<AudioOutput> output;
    NullOutput* null = nullptr;
    if (g.deviceOutput) {
        output = velmo::audio::makeSdlOutput();
    } else {
        auto made = std::make_unique<NullOutput>(g.nullPace, g.nullLatency);
        null = made.get();
        output = std::move(made);
    }
    g.mixed.clear();
    if (!output->open(int(freq ? freq : 44100), &mixAll, nullptr))
        return fail(BASS_ERROR_DRIVER);
    g.latency = output->latencySeconds();
    g.sleepAfterFrames = int64_t((g.latency + 0.5) * output->rate());
    g.idleFrames = 0;
    g.sleepAsked = false;
    g.outputAsleep = false;
    g.deviceRate = output->rate();
    g.output = std::move(output);
    g.nullOutput = null;
    {
        std::lock_guard<std::mutex> lock(g.syncMutex);
        g.syncQuit = false;
        g.syncPoke = false;
    }
    g.syncThread = std::thread(syncLoop);
    g.initialized = true;
    return ok(TRUE);
}

BOOL BASS_Free() {
    if (!g.initialized)
        return fail(BASS_ERROR_INIT);
    std::map<DWORD, std::shared_ptr<Stream>> streams;
    {
        std::lock_guard<std::recursive_mutex> calls(g.syncCalls);
        std::lock_guard<std::mutex> lock(g.table);
        streams.swap(g.streams);
        g.effectOwner.clear();
        g.initialized = false;
        g.output->lock();
        g.mixed.clear();
        g.output->unlock();
    }
    for (auto& entry : streams)
        release(std::move(entry.second));
    streams.clear();
    {
        std::lock_guard<std::mutex> lock(g.sleepMutex);
        g.output->close();
        g.output.reset();
        g.nullOutput = nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(g.syncMutex);
        g.syncQuit = true;
    }
    g.syncWake.notify_one();
    if (g.syncThread.joinable())
        g.syncThread.join();
    return ok(TRUE);
}

BOOL BASS_SetConfig(DWORD option, DWORD value) {
    if (option != BASS_CONFIG_UNICODE)
        return fail(BASS_ERROR_ILLTYPE);
    g.unicodeConfig = value ? 1 : 0;
    return ok(TRUE);
}

DWORD BASS_GetConfig(DWORD option) {
    if (option != BASS_CONFIG_UNICODE)
        return fail<DWORD>(BASS_ERROR_ILLTYPE, DWORD(-1));
    return ok(g.unicodeConfig);
}

int BASS_ErrorGetCode() { return t_error; }

// --- streams ---------------------------------------------------------------------

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
    if (mem || offset != 0 || length != 0 || !file)
        return fail<HSTREAM>(BASS_ERROR_ILLPARAM, 0);
    const bool decodeOnly = flags & BASS_STREAM_DECODE;
    if (!decodeOnly && !g.initialized)
        return fail<HSTREAM>(BASS_ERROR_INIT, 0);
    std::string path;
    if (flags & BASS_UNICODE) {
        auto converted = velmo::audio::utf16ToFileName(static_cast<const char16_t*>(file));
        if (!converted)
            return fail<HSTREAM>(BASS_ERROR_FILEOPEN, 0);
        path = std::move(*converted);
    } else {
        path = static_cast<const char*>(file);
    }
    int error = BASS_OK;
    auto decoder = Decoder::open(path, flags & BASS_STREAM_PRESCAN, &error);
    if (!decoder)
        return fail<HSTREAM>(error, 0);
    auto stream = Stream::create(std::move(decoder), flags, g.deviceRate, &error);
    if (!stream)
        return fail<HSTREAM>(error, 0);
    // Files may open on any thread: one that finishes after the library
    // ended (the program quitting) is dropped.
    std::lock_guard<std::mutex> lock(g.table);
    if (!decodeOnly && !g.initialized)
        return fail<HSTREAM>(BASS_ERROR_INIT, 0);
    const DWORD handle = g.nextStream++;
    g.streams.emplace(handle, stream);
    if (!decodeOnly) {
        g.output->lock();
        g.mixed.push_back(stream.get());
        g.output->unlock();
    }
    return ok(handle);
}

BOOL BASS_StreamFree(HSTREAM handle) {
    std::shared_ptr<Stream> stream;
    {
        std::lock_guard<std::recursive_mutex> calls(g.syncCalls);
        std::lock_guard<std::mutex> lock(g.table);
        auto it = g.streams.find(handle);
        if (it == g.streams.end())
            return fail(BASS_ERROR_HANDLE);
        stream = it->second;
        g.streams.erase(it);
        std::erase_if(g.effectOwner, [&](const auto& e) { return e.second == handle; });
        unmix(stream.get());
    }
    release(std::move(stream));  // joins its decoder thread outside the locks
    return ok(TRUE);
}

BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!info)
        return fail(BASS_ERROR_ILLPARAM);
    *info = BASS_CHANNELINFO{};
    info->freq = DWORD(s->rate());
    info->chans = DWORD(s->channels());
    // The sample format is what a caller asked for: float on request, else
    // 8 bits for 8-bit files and 16 bits otherwise.
    if (s->flags() & BASS_SAMPLE_FLOAT)
        info->flags |= BASS_SAMPLE_FLOAT;
    else if (s->eightBit())
        info->flags |= BASS_SAMPLE_8BITS;
    info->flags |= s->flags() & BASS_STREAM_DECODE;
    info->origres = s->eightBit() ? 8 : 0;
    return ok(TRUE);
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode) {
    auto s = findStream(handle);
    if (!s)
        return fail<QWORD>(BASS_ERROR_HANDLE, QWORD(-1));
    if (mode != BASS_POS_BYTE)
        return fail<QWORD>(BASS_ERROR_NOTAVAIL, QWORD(-1));
    return ok(QWORD(s->lengthFrames()) * bytesPerFrame(*s));
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    auto s = findStream(handle);
    if (!s)
        return fail<QWORD>(BASS_ERROR_HANDLE, QWORD(-1));
    if (mode != BASS_POS_BYTE)
        return fail<QWORD>(BASS_ERROR_NOTAVAIL, QWORD(-1));
    return ok(QWORD(s->positionFrames()) * bytesPerFrame(*s));
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (mode != BASS_POS_BYTE)
        return fail(BASS_ERROR_NOTAVAIL);
    const int64_t frame = int64_t(pos / bytesPerFrame(*s));
    if (pos > QWORD(INT64_MAX) || frame > s->lengthFrames())
        return fail(BASS_ERROR_POSITION);
    if (!s->setPositionFrames(frame))
        return fail(BASS_ERROR_POSITION);
    return ok(TRUE);
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    auto s = findStream(handle);
    if (!s)
        return fail<double>(BASS_ERROR_HANDLE, -1.0);
    return ok(double(pos) / double(bytesPerFrame(*s)) / s->rate());
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos) {
    auto s = findStream(handle);
    if (!s)
        return fail<QWORD>(BASS_ERROR_HANDLE, QWORD(-1));
    if (!(pos >= 0) || !std::isfinite(pos))
        return fail<QWORD>(BASS_ERROR_ILLPARAM, QWORD(-1));
    // The tiny allowance keeps seconds made from bytes on the same frame.
    const QWORD frames = QWORD(std::floor(pos * s->rate() + 1e-6));
    return ok(frames * bytesPerFrame(*s));
}

// --- transport ---------------------------------------------------------------------

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (s->decodeOnly())
        return fail(BASS_ERROR_NOTAVAIL);
    s->play(restart != FALSE);
    wakeOutput();
    return ok(TRUE);
}

BOOL BASS_ChannelPause(DWORD handle) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (s->decodeOnly())
        return fail(BASS_ERROR_NOTAVAIL);
    s->pause();
    return ok(TRUE);
}

BOOL BASS_ChannelStop(DWORD handle) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    s->stop();
    return ok(TRUE);
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    auto s = findStream(handle);
    if (!s)
        return fail<DWORD>(BASS_ERROR_HANDLE, BASS_ACTIVE_STOPPED);
    if (s->decodeOnly()) {
        // A decode-only stream counts as playing until its data runs out.
        const bool more = !s->lengthFrames() || s->positionFrames() < s->lengthFrames();
        return ok<DWORD>(more ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED);
    }
    return ok(s->state());
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD, SYNCPROC* proc, void* user) {
    auto s = findStream(handle);
    if (!s)
        return fail<HSYNC>(BASS_ERROR_HANDLE, 0);
    if ((type & 0xFFFFFF) != BASS_SYNC_END || !proc)
        return fail<HSYNC>(BASS_ERROR_ILLTYPE, 0);
    HSYNC id;
    {
        std::lock_guard<std::mutex> lock(g.table);
        id = g.nextSync++;
    }
    s->addSync(SyncEntry{id, proc, user});
    return ok(id);
}

BOOL BASS_ChannelRemoveSync(DWORD handle, HSYNC sync) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    std::lock_guard<std::recursive_mutex> calls(g.syncCalls);
    return s->removeSync(sync) ? ok(TRUE) : fail(BASS_ERROR_HANDLE);
}

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (attrib != BASS_ATTRIB_VOL && attrib != BASS_ATTRIB_TEMPO)
        return fail(BASS_ERROR_ILLTYPE);
    if (!std::isfinite(value))
        return fail(BASS_ERROR_ILLPARAM);
    if (attrib == BASS_ATTRIB_VOL) {
        s->setVolume(value);
        return ok(TRUE);
    }
    if (s->decodeOnly())
        return fail(BASS_ERROR_NOTAVAIL);
    if (value < BASS_TEMPO_MIN || value > BASS_TEMPO_MAX)
        return fail(BASS_ERROR_ILLPARAM);
    if (value != 0 && !s->canStretch())
        return fail(BASS_ERROR_NOTAVAIL);
    s->setSpeed(1.0 + double(value) / 100.0);
    return ok(TRUE);
}

BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if ((attrib != BASS_ATTRIB_VOL && attrib != BASS_ATTRIB_TEMPO) || !value)
        return fail(BASS_ERROR_ILLTYPE);
    *value = attrib == BASS_ATTRIB_VOL ? s->volume() : float((s->speed() - 1.0) * 100.0);
    return ok(TRUE);
}

BOOL BASS_ChannelSetLoop(DWORD handle, QWORD start, QWORD end) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (s->decodeOnly())
        return fail(BASS_ERROR_NOTAVAIL);
    const QWORD frameBytes = bytesPerFrame(*s);
    if (start == 0 && end == 0) {
        s->setLoop({});
        return ok(TRUE);
    }
    if (start >= end || end / frameBytes > QWORD(s->lengthFrames()))
        return fail(BASS_ERROR_POSITION);
    const int64_t first = int64_t(start / frameBytes), last = int64_t(end / frameBytes);
    if (first >= last)
        return fail(BASS_ERROR_POSITION);
    s->setLoop({first, last});
    return ok(TRUE);
}

BOOL BASS_ChannelGetLoop(DWORD handle, QWORD* start, QWORD* end) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!start || !end)
        return fail(BASS_ERROR_ILLPARAM);
    const auto loop = s->loop();
    *start = QWORD(loop.start) * bytesPerFrame(*s);
    *end = QWORD(loop.end) * bytesPerFrame(*s);
    return ok(TRUE);
}

DWORD BASS_ChannelGetLevel(DWORD handle) {
    auto s = findStream(handle);
    if (!s)
        return fail<DWORD>(BASS_ERROR_HANDLE, 0xFFFFFFFFu);
    if (s->decodeOnly())
        return fail<DWORD>(BASS_ERROR_NOTAVAIL, 0xFFFFFFFFu);
    return ok(s->level());
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    auto s = findStream(handle);
    if (!s)
        return fail<DWORD>(BASS_ERROR_HANDLE, DWORD(-1));
    if (!s->decodeOnly())
        return fail<DWORD>(BASS_ERROR_NOTAVAIL, DWORD(-1));
    const DWORD bytes = length & 0x0FFFFFFF;  // the high bits are flags
    const int frames = int(bytes / bytesPerFrame(*s));
    if (!buffer || frames <= 0)
        return ok<DWORD>(0);
    const int got = s->getData(static_cast<float*>(buffer), frames);
    if (got < 0)
        return fail<DWORD>(BASS_ERROR_ENDED, DWORD(-1));
    return ok(DWORD(QWORD(got) * bytesPerFrame(*s)));
}

// --- chapters -----------------------------------------------------------------------

DWORD BASS_ChannelGetChapters(DWORD handle, BASS_CHAPTER* chapters, DWORD max) {
    auto s = findStream(handle);
    if (!s)
        return fail<DWORD>(BASS_ERROR_HANDLE, DWORD(-1));
    if (!chapters && max > 0)
        return fail<DWORD>(BASS_ERROR_ILLPARAM, DWORD(-1));
    const auto& found = s->chapters();
    for (size_t i = 0; i < found.size() && i < max; ++i)
        chapters[i] = BASS_CHAPTER{found[i].start, found[i].title.c_str()};
    return ok(DWORD(found.size()));
}

// --- effects ------------------------------------------------------------------------

HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority) {
    auto s = findStream(handle);
    if (!s)
        return fail<HFX>(BASS_ERROR_HANDLE, 0);
    if (type != BASS_FX_BFX_PEAKEQ)
        return fail<HFX>(BASS_ERROR_ILLTYPE, 0);
    HFX id;
    {
        std::lock_guard<std::mutex> lock(g.table);
        id = g.nextEffect++;
        g.effectOwner.emplace(id, handle);
    }
    return ok(s->addEffect(id, priority));
}

BOOL BASS_ChannelRemoveFX(DWORD handle, HFX fx) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!s->removeEffect(fx))
        return fail(BASS_ERROR_HANDLE);
    std::lock_guard<std::mutex> lock(g.table);
    g.effectOwner.erase(fx);
    return ok(TRUE);
}

BOOL BASS_FXSetParameters(HFX fx, const void* params) {
    auto s = findEffectStream(fx);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!params || !s->setEffectParameters(fx, *static_cast<const BASS_BFX_PEAKEQ*>(params)))
        return fail(BASS_ERROR_ILLPARAM);
    return ok(TRUE);
}

BOOL BASS_FXGetParameters(HFX fx, void* params) {
    auto s = findEffectStream(fx);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!params || !s->effectParameters(fx, *static_cast<BASS_BFX_PEAKEQ*>(params)))
        return fail(BASS_ERROR_ILLPARAM);
    return ok(TRUE);
}
