// Start, tick and end of the audio system (see sound_system.h).
#include "audio/sound_system.h"

#include <memory>
#include <string>

#include "audio/audio_groups.h"
#include "audio/buffer_sounds.h"
#include "audio/emitters.h"
#include "audio/recording.h"
#include "audio/sound_assets.h"
#include "audio/sound_images.h"
#include "audio/voices.h"
#include "core/console.h"
#include "core/run_settings.h"
#include "world/datafile/options.h"

namespace {

std::unique_ptr<SoundHardware> g_pSoundHW;

} // namespace

void SoundHardware::Init() {
    if (g_fNoAudio) return;
    m_initialised = true;
    std::string error;
    if (!SoundImage_OpenMixer(&error)) dbg_csol->Output("ALUT Error : %s\n", error.c_str());
}

void SoundHardware::Quit() {
    if (g_fNoAudio || !m_initialised) return;
    Audio_Quit();
    SoundImage_CloseMixer();
    m_initialised = false;
}

void SoundHardware::Tick() {}

SoundHardware* Sound_Hardware() {
    return g_pSoundHW.get();
}

void SND_Init() {
    // A second start ends the first one's sound system and mixer.
    if (g_pSoundHW) g_pSoundHW->Quit();
    g_pSoundHW = std::make_unique<SoundHardware>();
    g_pSoundHW->Init();
    Audio_Init(g_pSoundHW.get());
}

void SND_End() {
    if (g_pSoundHW) g_pSoundHW->Quit();
}

void Sound_Reset() {
    // The voices go while the mixer still knows their sources, the sounds
    // after the voices that play them.
    SND_End();
    playingsounds.clear();
    Emitters_Reset();
    Recording_Reset();
    Audio_ClearBufferSounds();
    Audio_ClearSounds();
    g_AudioGroups.Finalise();
    g_NoiseHandleIndex = BASE_SOUND_INDEX + 1;
    g_Audio_Max_Distance = 100000.0f;
    g_GlobalListenerMask = 1;
    g_bAudioInterupt = false;
}

void Sound_Tick() {
    if (g_fNoAudio || !g_pSoundHW) return;
    if (!g_bAudioInterupt) g_pSoundHW->Tick();
    Audio_Tick();
}

void Sound_Setup(IniFile*) {}

void INITIALIZE_Sound_DirectX() {}

void Sound_SystemInit() {
    SND_Init();
}

bool Audio_NewSystem() {
    return g_UseNewAudio;
}

void Audio_StopAll() {
    Audio_StopAll(false);
}
