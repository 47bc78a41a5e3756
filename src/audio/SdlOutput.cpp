// The SDL2 output: a float32 stereo device at its own rate with buffers of
// about 10 ms, filled by our own callback so we know exactly which frames
// were handed over.

#include "audio/AudioOutput.h"

#include <SDL.h>

#include <mutex>

namespace velmo::audio {
namespace {

class SdlOutput final : public AudioOutput {
public:
    ~SdlOutput() override { close(); }

    bool open(int wantedRate, MixCallback mix, void* user) override {
        // The program ends on SIGTERM and SIGINT like any other; SDL would
        // otherwise swallow them into events nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        m_mix = mix;
        m_user = user;
        std::lock_guard<std::mutex> guard(m_deviceMutex);
        if (!openDevice(wantedRate > 0 ? wantedRate : 44100, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE)) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
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
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // While nothing plays the device is paused, so the mixer is not called.
    // It is not closed: a device opened anew makes the next play wait for a
    // new sound-server stream (about a second on PulseAudio), and a paused
    // SDL device still runs its thread and hands the server silence.
    void sleep() override {
        std::lock_guard<std::mutex> guard(m_deviceMutex);
        if (m_device)
            SDL_PauseAudioDevice(m_device, 1);
    }

    bool wake() override {
        std::lock_guard<std::mutex> guard(m_deviceMutex);
        if (m_device)
            SDL_PauseAudioDevice(m_device, 0);
        return m_device != 0;
    }

    void lock() override {
        m_deviceMutex.lock();
        if (m_device)
            SDL_LockAudioDevice(m_device);
    }
    void unlock() override {
        if (m_device)
            SDL_UnlockAudioDevice(m_device);
        m_deviceMutex.unlock();
    }
    int rate() const override { return m_rate; }
    // The device buffer plus the one SDL fills ahead of it.
    double latencySeconds() const override { return m_rate ? 2.0 * m_bufferFrames / m_rate : 0.0; }

private:
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
        m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, allowedChanges | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
        if (m_device == 0)
            return false;
        m_rate = have.freq;
        m_bufferFrames = have.samples;
        SDL_PauseAudioDevice(m_device, 0);
        return true;
    }

    // With m_deviceMutex held.
    void closeDevice() {
        if (m_device == 0)
            return;
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }

    static void callback(void* self, Uint8* stream, int len) {
        auto* out = static_cast<SdlOutput*>(self);
        out->m_mix(reinterpret_cast<float*>(stream), len / int(2 * sizeof(float)), out->m_user);
    }

    // Held around opening and closing the device and by lock(), so the mixer's
    // lock always pairs with the device it was taken on.
    std::mutex m_deviceMutex;
    bool m_open = false;  // between open() and close(), asleep or not
    SDL_AudioDeviceID m_device = 0;
    MixCallback m_mix = nullptr;
    void* m_user = nullptr;
    int m_rate = 0;
    int m_bufferFrames = 0;
};

}  // namespace

std::unique_ptr<AudioOutput> makeSdlOutput() { return std::make_unique<SdlOutput>(); }

}  // namespace velmo::audio
