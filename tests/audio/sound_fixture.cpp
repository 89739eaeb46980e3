#include "sound_fixture.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "audio/audio_groups.h"
#include "audio/mixer_api.h"
#include "audio/mixer_context.h"
#include "audio/mixer_mix.h"
#include "audio/sound_system.h"
#include "core/header_globals.h"
#include "room/room.h"
#include "core/game_image.h"
#include "world/datafile/options.h"
#include "core/run_settings.h"

void RecordingConsole::Output(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    text += line;
}

std::vector<uint8_t> ConstantWav(int frames, int16_t value) {
    return wad::WavImage16(22050, std::vector<int16_t>(static_cast<size_t>(frames), value));
}

wad::SoundFields SoundRecord(const char* name, int32_t audioIndex, int32_t kind, int32_t group) {
    wad::SoundFields f;
    f.name = name;
    f.audioIndex = audioIndex;
    f.kind = kind;
    f.group = group;
    return f;
}

void SoundSystemTest::SetUp() {
    g_fNoAudio = false;
    g_UseNewAudio = true;
    g_isNimbar = false;
    Run_Room = nullptr;
    g_NoiseHandleIndex = BASE_SOUND_INDEX + 1;
    m_savedConsole = dbg_csol;
    dbg_csol = &m_console;
}

void SoundSystemTest::TearDown() {
    SND_End();
    Audio_ClearSounds();
    g_AudioGroups.Finalise();
    playingsounds.clear();
    g_UseNewAudio = false;
    g_fNoAudio = false;
    Run_Room = nullptr;
    dbg_csol = m_savedConsole;
}

void SoundSystemTest::LoadChunks(const wad::GameDataWriter& writer) {
    m_image = writer.Build();
    size_t at = 8;
    while (at + 8 <= m_image.size()) {
        char tag[5] = {};
        std::memcpy(tag, m_image.data() + at, 4);
        uint32_t size = 0;
        std::memcpy(&size, m_image.data() + at + 4, 4);
        const size_t payload = at + 8;
        static const char* const kTags[] = {"SOND", "AGRP", "AUDO"};
        for (const char* known : kTags) {
            if (std::strcmp(tag, known) != 0) continue;
            ImageReader chunk(m_image.data(), m_image.size(), payload, payload + size, known);
            if (known == kTags[0]) Audio_Load(chunk);
            if (known == kTags[1]) AudioGroup_Load(chunk);
            if (known == kTags[2]) Audio_WAVs(chunk);
        }
        at = payload + size;
    }
}

void SoundSystemTest::Load(const wad::GameDataWriter& writer) {
    LoadChunks(writer);
    SND_Init();
    Audio_Prepare();
}

void SoundSystemTest::WriteStandardSounds(wad::GameDataWriter& writer, int groupOfSound2) {
    wad::SoundFields blip = SoundRecord("blip", 0);
    blip.fileName = "blip.wav";
    wad::SoundFields music = SoundRecord("music", 2, 100);
    music.fileName = "music.ogg";
    const wad::SoundFields longer = SoundRecord("blip", 1, 101, groupOfSound2);
    wad::WriteSounds(writer, {blip, std::nullopt, longer, music});
    if (groupOfSound2 != 0) wad::WriteAudioGroups(writer, {"audiogroup_default", "level"});
    wad::WriteAudioData(writer, {ConstantWav(2205, 8000), ConstantWav(4410, 8000), std::nullopt});
}

unsigned SoundSystemTest::SourceOf(int handle) {
    const CNoise* v = Audio_GetNoiseFromID(handle);
    return v != nullptr ? Audio_SourceOf(*v) : 0u;
}

float SoundSystemTest::SourceFloat(unsigned source, int param) {
    float value = -1.0f;
    alGetSourcef(source, param, &value);
    return value;
}

int SoundSystemTest::SourceState(unsigned source) {
    int state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

std::vector<int16_t> SoundSystemTest::Mix(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    ALCdevice_struct* device = alcGetContextsDevice(alcGetCurrentContext());
    // Sources start at the block's first frame: their start times against
    // the mixer's clock are the mixer's own tests.
    g_mixerTimestamp.store(0);
    aluMixData(device, out.data(), frames);
    aluAdvanceSource(device, frames);
    return out;
}

void SoundSystemTest::Tick(int n) {
    for (int i = 0; i < n; ++i) Sound_Tick();
}
