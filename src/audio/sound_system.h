// Start, per-frame tick and end of the whole audio system. The legacy sound
// layer's hardware opens the mixer (through freealut) and closes it; the
// sound system's voices are set up after it and torn down before it.
#pragma once

class IniFile;

class SoundHardware {
public:
    // Opens the mixer unless audio is off.
    void Init();
    // Ends the sound system and closes the mixer when Init opened it.
    void Quit();
    // The legacy fades (no legacy sounds play yet, so nothing to fade).
    void Tick();
    bool Initialised() const { return m_initialised; }

private:
    bool m_initialised = false;
};

// The hardware SND_Init made, or null.
SoundHardware* Sound_Hardware();

void SND_Init();
void SND_End();
// The sound system ended (mixer closed), every sound, group and voice gone
// and the voice settings back to their start values (tests, and a fresh
// load). The audio choice of the options (g_UseNewAudio) stays.
void Sound_Reset();
void Sound_Tick();
// What "options.ini" holds for sound: nothing the runtime reads.
void Sound_Setup(IniFile* ini);
void INITIALIZE_Sound_DirectX();
// The preparation pass's sound start: SND_Init.
void Sound_SystemInit();
// Whether the data file selects the sound system (its chunk loaders then
// read "SOND", "AGRP" and "AUDO").
bool Audio_NewSystem();
// Game end: every voice soft-stopped.
void Audio_StopAll();
