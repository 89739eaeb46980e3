// Audio groups: group 0 travels in the data file and is always loaded; every
// other group keeps its sound data in "audiogroup%d.dat" beside the data
// file, read when a script asks, prepared on a loader thread, and announced
// to scripts by an asynchronous event on the tick after the loader ends.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/mutex.h"
#include "core/thread.h"

struct cAudio_Sound;

class CAudioGroup {
public:
    enum eLoadState : int32_t { Unloaded = 0, Loading = 1, Loaded = 2, Unloading = 3 };

    explicit CAudioGroup(int index) : index(index) {}
    // Joins a loader still running (it writes into this group).
    ~CAudioGroup();
    CAudioGroup(const CAudioGroup&) = delete;
    CAudioGroup& operator=(const CAudioGroup&) = delete;

    void SetName(const char* text);
    // Writes "Audio group %d -> %s" when the state changes.
    void SetLoadState(eLoadState state);
    void AddSound(cAudio_Sound* sound);
    void IncLoadCount();
    double GetLoadProgress();
    void FreeBuffers();
    // Starts the loader thread, joining the previous one first.
    void AsyncDecode();
    // Waits for a running loader to finish.
    void JoinLoader();

    eLoadState loadState = Unloaded;
    int32_t index;
    int32_t soundCount = 0;
    int32_t listCount = 0;
    int32_t loadedCount = 0;
    int32_t progress = 0; // under progressMutex
    std::vector<uint8_t> fileData;
    std::optional<std::string> name;
    std::unique_ptr<CThread> loader;
    Mutex progressMutex{"AudioGroup"};
    std::vector<cAudio_Sound*> sounds;
};

class CAudioGroupMan {
public:
    void CreateGroups(int n);
    int Count() const { return static_cast<int>(m_groups.size()); }
    CAudioGroup* GetGroup(int i);
    const char* GetGroupName(int i);
    void InitSoundLists();
    void IncSoundCount(int i);
    bool IsGroupLoaded(int i);
    bool LoadGroup(int i);
    bool UnloadGroup(int i);
    double GetLoadProgress(int i);
    void Update();
    void Finalise();

private:
    std::vector<std::unique_ptr<CAudioGroup>> m_groups;
};

extern CAudioGroupMan g_AudioGroups;

void Audio_SetGainGroup(int group, double gain, int timeMs);
void Audio_PrepareGroup(int i);
