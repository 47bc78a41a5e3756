// The SDL2 output: a float32 stereo device at its own rate with buffers of
// about 10 ms, filled by our own callback so we know exactly which frames
// were handed over.

#include "audio/AudioOutput.h"

#include <SDL.h>
#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace velmo::audio {
namespace {

// SDL is opened with dlopen when the device first opens instead of being
// linked: it brings some thirty libraries with it (X11, Wayland, every sound
// server's client), and loading them before main() held up the first window
// and its memory for a device that opens only once the window is shown.
#define VELMO_SDL_FUNCTIONS(X)  \
    X(SDL_CloseAudioDevice)      \
    X(SDL_GetCurrentAudioDriver) \
    X(SDL_InitSubSystem)         \
    X(SDL_LockAudioDevice)       \
    X(SDL_OpenAudioDevice)       \
    X(SDL_PauseAudioDevice)      \
    X(SDL_QuitSubSystem)         \
    X(SDL_SetHint)               \
    X(SDL_UnlockAudioDevice)

struct SdlApi {
#define VELMO_SDL_POINTER(name) decltype(&::name) name = nullptr;
    VELMO_SDL_FUNCTIONS(VELMO_SDL_POINTER)
#undef VELMO_SDL_POINTER
};

// SDL 2 keeps one soname for all its versions; the library stays open for
// the life of the process. nullptr when it or a function is missing.
const SdlApi* LoadSdl() {
    static const SdlApi* const loaded = []() -> const SdlApi* {
        void* handle = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return nullptr;
        static SdlApi api;
        bool complete = true;
#define VELMO_SDL_FIND(name)                                             \
    api.name = reinterpret_cast<decltype(api.name)>(dlsym(handle, #name)); \
    complete = complete && api.name;
        VELMO_SDL_FUNCTIONS(VELMO_SDL_FIND)
#undef VELMO_SDL_FIND
        return complete ? &api : nullptr;
    }();
    return loaded;
}

class SdlOutput final : public AudioOutput {
public:
    ~SdlOutput() override { close(); }

    bool open(int wantedRate, MixCallback mix, void* user) override {
        m_sdl = LoadSdl();
        if (!m_sdl)
            return false;
        // The program ends on SIGTERM and SIGINT like any other; SDL would
        // otherwise swallow them into events nobody reads.
        m_sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (m_sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        m_mix = mix;
        m_user = user;
        std::lock_guard<std::mutex> guard(m_deviceMutex);
        if (!openDevice(wantedRate > 0 ? wantedRate : 44100, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE)) {
            m_sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        m_open = true;
        return true;
    }

    void close() override {
        std::lock_guard<std::mutex> guard(m_deviceMutex);
        if (!m_open)
            return;
        closeDevice();
        m_open = false;
        m_sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // While nothing plays the device thread waits inside our callback: it
    // hands the sound server nothing and wakes for nothing, and the server
    // stream stays open, so the next play is heard at once (a device opened
    // anew is heard about a second late on PulseAudio). SDL's pause is no
    // use here: a paused device keeps its thread feeding silence. Where the
    // callback runs on the sound server's own thread (PipeWire, JACK), that
    // thread must never wait, so the device is only paused.
    void sleep() override {
        std::lock_guard<std::mutex> guard(m_deviceMutex);
        if (!m_device || m_sleep != Sleep::Awake)
            return;
        if (m_callbackOnServerThread) {
            m_sdl->SDL_PauseAudioDevice(m_device, 1);
            m_sleep = Sleep::Paused;
        } else if (parkCallback()) {
            m_sleep = Sleep::Parked;
        }
    }

    bool wake() override {
        std::lock_guard<std::mutex> guard(m_deviceMutex);
        if (m_sleep == Sleep::Paused)
            m_sdl->SDL_PauseAudioDevice(m_device, 0);
        else if (m_sleep == Sleep::Parked)
            releaseCallback(false);
        m_sleep = Sleep::Awake;
        return m_device != 0;
    }

    // A parked callback holds SDL's device lock and is out of `mix` anyway.
    void lock() override {
        m_deviceMutex.lock();
        if (m_device && m_sleep != Sleep::Parked)
            m_sdl->SDL_LockAudioDevice(m_device);
    }
    void unlock() override {
        if (m_device && m_sleep != Sleep::Parked)
            m_sdl->SDL_UnlockAudioDevice(m_device);
        m_deviceMutex.unlock();
    }
    int rate() const override { return m_rate; }
    // The device buffer plus the one SDL fills ahead of it.
    double latencySeconds() const override { return m_rate ? 2.0 * m_bufferFrames / m_rate : 0.0; }

private:
    enum class Sleep { Awake, Paused, Parked };

    // With m_deviceMutex held.
    bool openDevice(int rate, int allowedChanges) {
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = want.freq > 60000 ? 1024 : 512;
        want.callback = &SdlOutput::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        m_device = m_sdl->SDL_OpenAudioDevice(nullptr, 0, &want, &have, allowedChanges | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
        if (m_device == 0)
            return false;
        m_rate = have.freq;
        m_bufferFrames = have.samples;
        const char* driver = m_sdl->SDL_GetCurrentAudioDriver();
        m_callbackOnServerThread =
            driver && (std::strcmp(driver, "pipewire") == 0 || std::strcmp(driver, "jack") == 0);
        m_sleep = Sleep::Awake;
        m_sdl->SDL_PauseAudioDevice(m_device, 0);
        return true;
    }

    // With m_deviceMutex held.
    void closeDevice() {
        if (m_device == 0)
            return;
        if (m_sleep == Sleep::Parked)
            releaseCallback(true);
        m_sleep = Sleep::Awake;
        m_sdl->SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }

    // With m_deviceMutex held. Asks the callback to wait at its next call,
    // which comes within a buffer, and returns once it waits. False (and
    // the device left running) if it never came, as with a stalled device.
    bool parkCallback() {
        std::unique_lock<std::mutex> park(m_parkMutex);
        m_parkAsked = true;
        if (m_parkChanged.wait_for(park, std::chrono::seconds(1), [this] { return m_parked; }))
            return true;
        m_parkAsked = false;
        return false;
    }

    // With m_deviceMutex held.
    void releaseCallback(bool closing) {
        {
            std::lock_guard<std::mutex> park(m_parkMutex);
            m_parkAsked = false;
            m_closing = closing;
        }
        m_parkChanged.notify_all();
    }

    // Output thread, inside the callback: waits while asked to. Returns true
    // when released for closing, so nothing more is mixed.
    bool waitWhileParked() {
        if (!m_parkAsked.load(std::memory_order_acquire))
            return false;
        std::unique_lock<std::mutex> park(m_parkMutex);
        if (!m_parkAsked)
            return false;
        m_parked = true;
        m_parkChanged.notify_all();
        m_parkChanged.wait(park, [this] { return !m_parkAsked; });
        m_parked = false;
        return m_closing;
    }

    static void callback(void* self, Uint8* stream, int len) {
        auto* out = static_cast<SdlOutput*>(self);
        if (out->waitWhileParked()) {
            std::memset(stream, 0, size_t(len));
            return;
        }
        out->m_mix(reinterpret_cast<float*>(stream), len / int(2 * sizeof(float)), out->m_user);
    }

    // Held around opening and closing the device, sleep and wake, and by
    // lock(), so the mixer's lock always pairs with the device it was taken on.
    std::mutex m_deviceMutex;
    bool m_open = false;  // between open() and close(), asleep or not
    const SdlApi* m_sdl = nullptr;  // set by the first open
    SDL_AudioDeviceID m_device = 0;
    Sleep m_sleep = Sleep::Awake;
    bool m_callbackOnServerThread = false;
    // The parked callback: m_parked and m_closing under m_parkMutex;
    // m_parkAsked is written under it too and read without it first.
    std::mutex m_parkMutex;
    std::condition_variable m_parkChanged;
    std::atomic<bool> m_parkAsked{false};
    bool m_parked = false;
    bool m_closing = false;
    MixCallback m_mix = nullptr;
    void* m_user = nullptr;
    int m_rate = 0;
    int m_bufferFrames = 0;
};

}  // namespace

std::unique_ptr<AudioOutput> makeSdlOutput() { return std::make_unique<SdlOutput>(); }

}  // namespace velmo::audio
