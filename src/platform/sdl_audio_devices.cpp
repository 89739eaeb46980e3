// The mixer's devices over SDL2 audio. Output asks SDL for float stereo at
// 48000 Hz and accepts any rate the hardware prefers; SDL converts to the
// hardware's own format and channel count, so the mixer only ever writes
// stereo float. Capture opens SDL's default input at its own rate as 16-bit
// mono and stores it in the capture ring; callers get it resampled.
#include "platform/sdl_audio_devices.h"

#include <SDL.h>

#include "audio/mixer_capture.h"
#include "audio/mixer_device.h"
#include "audio/mixer_mix.h"
#include "core/console.h"

namespace {

constexpr int kBlockFrames = 512;

class ALCdevice_sdl final : public ALCdevice_struct {
public:
    ~ALCdevice_sdl() override { closePlayback(); }

    void openPlayback(char*) override {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            dbg_csol->Output("Error: SDL_InitSubSystem(audio) failed: %s\n", SDL_GetError());
            return;
        }
        m_initialised = true;
    }

    void closePlayback() override {
        if (m_id != 0) SDL_CloseAudioDevice(m_id); // waits for a callback in progress
        m_id = 0;
        if (m_initialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_initialised = false;
    }

    // Opens the device; the rate SDL grants becomes the device's rate.
    void resetPlayback() override {
        if (!m_initialised) return;
        if (m_id != 0) SDL_CloseAudioDevice(m_id);
        SDL_AudioSpec want{};
        want.freq = 48000;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = kBlockFrames;
        want.callback = Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        m_id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (m_id == 0) {
            dbg_csol->Output("Error: resetPlayback : SDL_OpenAudioDevice failed: %s\n", SDL_GetError());
            return;
        }
        frequency = have.freq;
        format = AL_FORMAT_STEREO_FLOAT32;
    }

    void startPlayback() override {
        if (m_id != 0) SDL_PauseAudioDevice(m_id, 0);
    }
    void stopPlayback() override {
        if (m_id != 0) SDL_PauseAudioDevice(m_id, 1);
    }

private:
    // SDL's audio thread: mix one block, then move the sources past it.
    static void SDLCALL Callback(void* userdata, Uint8* stream, int len) {
        auto* device = static_cast<ALCdevice_sdl*>(userdata);
        const int frames = len / static_cast<int>(2 * sizeof(float));
        aluMixData(device, stream, frames);
        aluAdvanceSource(device, frames);
    }

    SDL_AudioDeviceID m_id = 0;
    bool m_initialised = false;
};

class ALCdevice_capture_sdl final : public MixerCaptureDevice {
public:
    ~ALCdevice_capture_sdl() override { closeRecording(); }

    void openRecording(int rate, int frames) override {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            dbg_csol->Output("Error : openRecording : SDL_InitSubSystem failed: %s\n", SDL_GetError());
            return;
        }
        m_initialised = true;
        // The input's own rate when SDL can tell it; SDL converts only the
        // sample format and channels.
        SDL_AudioSpec native{};
        char* name = nullptr;
        const int nativeRate =
            SDL_GetDefaultAudioInfo(&name, &native, 1) == 0 && native.freq > 0 ? native.freq : 48000;
        SDL_free(name);
        SDL_AudioSpec want{};
        want.freq = nativeRate;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 1024;
        want.callback = Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        m_id = SDL_OpenAudioDevice(nullptr, 1, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (m_id == 0) {
            dbg_csol->Output("Error : openRecording : SDL_OpenAudioDevice failed: %s\n", SDL_GetError());
            closeRecording();
            return;
        }
        OpenRing(rate, frames, have.freq);
    }

    void closeRecording() override {
        if (Recording()) stopRecording();
        if (m_id != 0) SDL_CloseAudioDevice(m_id);
        m_id = 0;
        CloseRing();
        if (m_initialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_initialised = false;
    }

    // Every start reopens the input at 16000 Hz and empties the ring.
    void startRecording() override {
        closeRecording();
        openRecording(16000, 32000);
        SetRecording(true);
        if (m_id == 0) {
            rel_csol->Output("Error : startRecording : no capture device\n");
            return;
        }
        SDL_PauseAudioDevice(m_id, 0);
    }

    void stopRecording() override {
        SetRecording(false);
        if (m_id != 0) SDL_PauseAudioDevice(m_id, 1);
    }

private:
    static void SDLCALL Callback(void* userdata, Uint8* stream, int len) {
        static_cast<ALCdevice_capture_sdl*>(userdata)->StoreInput(stream, len);
    }

    SDL_AudioDeviceID m_id = 0;
    bool m_initialised = false;
};

ALCdevice_struct* MakeOutputDevice() {
    return new ALCdevice_sdl();
}

ALCdevice_struct* MakeCaptureDevice() {
    return new ALCdevice_capture_sdl();
}

} // namespace

void Platform_InstallAudioDevices() {
    // SDL would turn SIGINT and SIGTERM into a quit event, which nothing reads
    // while the game runs without a window: the signals keep their own effect.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    Mixer_SetOutputDeviceFactory(MakeOutputDevice);
    Mixer_SetCaptureDeviceFactory(MakeCaptureDevice);
}
