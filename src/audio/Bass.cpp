// The library's public functions for the device and the handle table: the
// device and its mixer, the sync thread that reports the end of streams,
// opening and freeing streams. What one channel does is in BassChannel.cpp.

#include "audio/AudioTestApi.h"
#include "audio/BassLibrary.h"
#include "audio/FfmpegApi.h"
#include "audio/Utf16Path.h"

#include <algorithm>
#if VELMO_X86
#include <xmmintrin.h>
#endif

using velmo::audio::AudioOutput;
using velmo::audio::Decoder;
using velmo::audio::NullOutput;
using velmo::audio::Stream;
using velmo::audio::SyncEntry;
using namespace velmo::audio::library;

namespace velmo::audio::library {

Library g;
thread_local int t_error = BASS_OK;

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

}  // namespace velmo::audio::library

namespace {

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

}  // namespace

namespace velmo::audio::library {

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

}  // namespace velmo::audio::library

namespace {

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
