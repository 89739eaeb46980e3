// Audio groups and their files. A group file is checked whole before any
// sound points into it: its "AUDO" tag, a length that fits the file, and
// every entry of its table.
#include "audio/audio_groups.h"

#include <cstdio>
#include <cstring>

#include "audio/sound_assets.h"
#include "audio/voices.h"
#include "core/console.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "data/ds_map.h"
#include "world/step/async_events.h"
#include "core/game_image.h"

CAudioGroupMan g_AudioGroups;

namespace {

constexpr int ASYNC_AUDIO_GROUP_LOAD = 72;
constexpr size_t kGroupHeaderBytes = 16;

const char* StateName(CAudioGroup::eLoadState state) {
    static const char* const names[] = {"Unloaded", "Loading...", "Loaded", "Unloading..."};
    return names[state];
}

void* LoadThreadFunc(CThread* thread) {
    Audio_PrepareGroup(static_cast<int>(reinterpret_cast<intptr_t>(thread->GetUserData())));
    return nullptr;
}

int GroupLoadedMap(HTTP_REQ_CONTEXT* entry, void*, int* mapId) {
    *mapId = CreateDsMap(2, "type", 0.0, "audiogroup_load", "group_id", static_cast<double>(entry->m_status),
                         nullptr);
    return ASYNC_AUDIO_GROUP_LOAD;
}

void QueueGroupLoadedEvent(int group) {
    auto entry = std::make_unique<HTTP_REQ_CONTEXT>();
    entry->m_state = ASYNC_STATE_COMPLETE;
    entry->m_status = group;
    entry->m_pResult = GroupLoadedMap;
    Async_QueueRequest(std::move(entry));
}

} // namespace

// [SECTION] one group

CAudioGroup::~CAudioGroup() {
    JoinLoader();
}

void CAudioGroup::SetName(const char* text) {
    if (text == nullptr)
        name.reset();
    else
        name = text;
}

void CAudioGroup::SetLoadState(eLoadState state) {
    if (state == loadState) return;
    loadState = state;
    dbg_csol->Output("Audio group %d -> %s\n", index, StateName(state));
}

void CAudioGroup::AddSound(cAudio_Sound* sound) {
    if (listCount >= soundCount) return;
    sounds.push_back(sound);
    ++listCount;
}

void CAudioGroup::IncLoadCount() {
    MutexLock lock(progressMutex);
    ++loadedCount;
    progress = soundCount > 0 ? loadedCount * 100 / soundCount : 100;
}

double CAudioGroup::GetLoadProgress() {
    if (loadState == Loaded) return 100.0;
    if (loadState != Loading || !loader) return 0.0;
    MutexLock lock(progressMutex);
    return progress;
}

void CAudioGroup::FreeBuffers() {
    for (cAudio_Sound* s : sounds) s->FreeALBuffer();
}

void CAudioGroup::JoinLoader() {
    if (loader) loader->WaitForExit();
}

void CAudioGroup::AsyncDecode() {
    // A reload reuses nothing of the previous loader: it has finished (the
    // group went through Loaded), and joining it releases its thread.
    JoinLoader();
    loader = std::make_unique<CThread>();
    loader->SetMutex(&progressMutex);
    loader->Start(LoadThreadFunc, reinterpret_cast<void*>(static_cast<intptr_t>(index)),
                  CThread::ePriority_High);
}

// [SECTION] the groups

void CAudioGroupMan::CreateGroups(int n) {
    Finalise();
    for (int i = 0; i < n; ++i) m_groups.push_back(std::make_unique<CAudioGroup>(i));
}

CAudioGroup* CAudioGroupMan::GetGroup(int i) {
    if (i < 0 || i >= Count()) return nullptr;
    return m_groups[i].get();
}

const char* CAudioGroupMan::GetGroupName(int i) {
    CAudioGroup* g = GetGroup(i);
    if (g == nullptr || !g->name) return "<undefined>";
    return g->name->c_str();
}

void CAudioGroupMan::InitSoundLists() {
    if (m_groups.empty()) return;
    for (auto& s : g_AudioSounds)
        if (s) IncSoundCount(s->group);
    for (auto& s : g_AudioSounds)
        if (s && GetGroup(s->group) != nullptr) GetGroup(s->group)->AddSound(s.get());
}

void CAudioGroupMan::IncSoundCount(int i) {
    if (CAudioGroup* g = GetGroup(i)) ++g->soundCount;
}

bool CAudioGroupMan::IsGroupLoaded(int i) {
    if (i == 0) return true;
    CAudioGroup* g = GetGroup(i);
    return g != nullptr && g->loadState == CAudioGroup::Loaded;
}

bool CAudioGroupMan::LoadGroup(int i) {
    CAudioGroup* g = i > 0 ? GetGroup(i) : nullptr;
    if (g == nullptr || g->soundCount <= 0 || g->loadState != CAudioGroup::Unloaded) return false;
    char fileName[128];
    std::snprintf(fileName, sizeof fileName, "audiogroup%d.dat", i);
    int length = 0;
    char* file = LoadSave::ReadBundleFile(fileName, &length);
    if (file == nullptr) {
        dbg_csol->Output("Failed to load %s\n", fileName);
        return false;
    }
    std::vector<uint8_t> bytes(file, file + length);
    MemoryManager::Free(file);

    // The "AUDO" payload starts at byte 16; its entries are offsets from the
    // file's first byte. The whole table is checked before it is used.
    bool valid = bytes.size() >= kGroupHeaderBytes && std::memcmp(bytes.data() + 8, "AUDO", 4) == 0;
    uint32_t payload = 0;
    if (valid) {
        std::memcpy(&payload, bytes.data() + 12, 4);
        valid = payload != 0 && payload <= bytes.size() - kGroupHeaderBytes;
    }
    if (!valid) {
        dbg_csol->Output("Format error loading %s\n", fileName);
        return false;
    }
    // Entries are read into a table first, so a bad file changes no sound.
    g->JoinLoader();
    g->fileData = std::move(bytes);
    try {
        ImageReader chunk(g->fileData.data(), g->fileData.size(), kGroupHeaderBytes,
                          kGroupHeaderBytes + payload, "AUDO");
        Audio_WAVs(chunk, i);
    } catch (const GameDataError& e) {
        dbg_csol->Output("Format error loading %s\n", fileName);
        dbg_csol->Output("%s\n", e.what());
        g->fileData.clear();
        g->fileData.shrink_to_fit();
        return false;
    }
    g->SetLoadState(CAudioGroup::Loading);
    {
        MutexLock lock(g->progressMutex);
        g->loadedCount = 0;
        g->progress = 0;
    }
    g->AsyncDecode();
    return true;
}

bool CAudioGroupMan::UnloadGroup(int i) {
    CAudioGroup* g = i != 0 ? GetGroup(i) : nullptr;
    if (g == nullptr || g->loadState != CAudioGroup::Loaded) return false;
    g->SetLoadState(CAudioGroup::Unloading);
    Audio_StopAllGroup(i);
    return true;
}

double CAudioGroupMan::GetLoadProgress(int i) {
    if (i == 0) return 100.0;
    CAudioGroup* g = GetGroup(i);
    return g != nullptr ? g->GetLoadProgress() : 0.0;
}

void CAudioGroupMan::Update() {
    if (Count() < 2) return;
    for (int i = 1; i < Count(); ++i) {
        CAudioGroup& g = *m_groups[i];
        if (g.loadState == CAudioGroup::Loading && g.loader && !g.loader->IsRunning()) {
            g.JoinLoader();
            g.SetLoadState(CAudioGroup::Loaded);
            QueueGroupLoadedEvent(i);
        } else if (g.loadState == CAudioGroup::Unloading && Audio_AllGroupSoundsStopped(i)) {
            g.FreeBuffers();
            g.fileData.clear();
            g.fileData.shrink_to_fit();
            g.SetLoadState(CAudioGroup::Unloaded);
        }
    }
}

void CAudioGroupMan::Finalise() {
    // Each group joins its loader before it goes: the loader writes into it.
    m_groups.clear();
}

void Audio_SetGainGroup(int group, double gain, int timeMs) {
    for (int i = 0; i < Audio_Number(); ++i) {
        const cAudio_Sound* s = g_AudioSounds[i].get();
        if (s != nullptr && s->group == group) Audio_SoundGain(i, gain, timeMs);
    }
}

void Audio_PrepareGroup(int i) {
    CAudioGroup* g = g_AudioGroups.GetGroup(i);
    for (auto& s : g_AudioSounds) {
        if (!s || s->group != i) continue;
        s->Prepare(i);
        if (g != nullptr) g->IncLoadCount();
    }
}
