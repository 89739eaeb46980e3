// Audio groups: plays refused until the group's file is loaded, the loaded
// event on the tick after the loader, unloading once nothing of the group
// plays, and group files that lie about their contents.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "audio/audio_groups.h"
#include "audio/voices.h"
#include "core/load_save.h"
#include "data/ds_map.h"
#include "sound_fixture.h"
#include "world/step/async_events.h"

namespace {

class AudioGroups : public SoundSystemTest {
protected:
    void SetUp() override {
        SoundSystemTest::SetUp();
        char folder[] = "/tmp/corvane-groups-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        m_folder = folder;
        LoadSave_SetGameName((m_folder + "/game.ios").c_str());
        wad::GameDataWriter w;
        WriteStandardSounds(w, 1); // sound 2 in group 1
        Load(w);
    }
    void TearDown() override {
        g_AudioGroups.Finalise();
        Async_ClearRequests();
        LoadSave_SetGameName(nullptr);
        std::remove((m_folder + "/audiogroup1.dat").c_str());
        rmdir(m_folder.c_str());
        SoundSystemTest::TearDown();
    }
    void WriteGroupFile(const std::vector<uint8_t>& bytes) {
        std::ofstream(m_folder + "/audiogroup1.dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<uint8_t> GoodFile() {
        return wad::BuildAudioGroupFile({std::nullopt, ConstantWav(4410, 8000)});
    }

    std::string m_folder;
};

std::string MapText(CDS_Map* map, const char* name) {
    RValue key = RValue_Undefined();
    ZQCreateString(&key, name);
    const DsMapEntry* e = map->Find(key);
    FREE_RValue(&key);
    if (e == nullptr) return "<missing>";
    if (e->value.Kind() == VALUE_STRING) return e->value.pRefString->Get();
    return std::to_string(e->value.val);
}

TEST_F(AudioGroups, GroupLoadsOnDemandAndAnnouncesItselfOnTheNextTick) {
    EXPECT_TRUE(g_AudioGroups.IsGroupLoaded(0));
    EXPECT_DOUBLE_EQ(g_AudioGroups.GetLoadProgress(0), 100.0);
    EXPECT_FALSE(g_AudioGroups.LoadGroup(0));
    EXPECT_FALSE(g_AudioGroups.UnloadGroup(0));
    EXPECT_STREQ(g_AudioGroups.GetGroupName(1), "level");

    EXPECT_EQ(Audio_PlaySound(2, 1, 0), -1);
    EXPECT_NE(m_console.text.find("blip: Audio Group 1 is not loaded\n"), std::string::npos);

    WriteGroupFile(GoodFile());
    ASSERT_TRUE(g_AudioGroups.LoadGroup(1));
    EXPECT_FALSE(g_AudioGroups.LoadGroup(1)) << "already loading";
    EXPECT_FALSE(g_AudioGroups.UnloadGroup(1)) << "not loaded yet";
    CAudioGroup& group = *g_AudioGroups.GetGroup(1);
    group.JoinLoader();
    EXPECT_EQ(group.loadState, CAudioGroup::Loading) << "only the tick sees the loader finish";
    EXPECT_EQ(g_pHttpHead, nullptr);
    EXPECT_EQ(Audio_PlaySound(2, 1, 0), -1);

    Tick(1);
    EXPECT_EQ(group.loadState, CAudioGroup::Loaded);
    EXPECT_DOUBLE_EQ(g_AudioGroups.GetLoadProgress(1), 100.0);
    ASSERT_NE(g_pHttpHead, nullptr);
    {
        DS_AutoMutex lock;
        int map = -1;
        EXPECT_EQ(g_pHttpHead->m_pResult(g_pHttpHead, g_pHttpHead->m_pUserData, &map), 72);
        CDS_Map* m = GetDsMap(map);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(MapText(m, "type"), "audiogroup_load");
        EXPECT_EQ(MapText(m, "group_id"), std::to_string(1.0));
        DestroyDsMap(map);
    }
    EXPECT_FLOAT_EQ(Audio_SoundLength(2), 0.2f) << "prepared from the group file";
    const int handle = Audio_PlaySound(2, 1, 1);
    EXPECT_TRUE(Audio_SoundIsPlaying(handle));
}

TEST_F(AudioGroups, UnloadingWaitsForTheGroupsVoicesToStop) {
    WriteGroupFile(GoodFile());
    ASSERT_TRUE(g_AudioGroups.LoadGroup(1));
    g_AudioGroups.GetGroup(1)->JoinLoader();
    Tick(1);
    Audio_PlaySound(2, 1, 1);
    const int other = Audio_PlaySound(0, 1, 1);
    ASSERT_TRUE(g_AudioGroups.UnloadGroup(1));
    EXPECT_TRUE(Audio_SoundIsPlaying(other)) << "only the group's voices stop";
    const cAudio_Sound& s = *Audio_GetSound(2);
    const int buffer = s.alBuffer;
    Tick(2);
    EXPECT_EQ(s.alBuffer, buffer) << "its voice was still ending";
    EXPECT_EQ(g_AudioGroups.GetGroup(1)->loadState, CAudioGroup::Unloading);
    Tick(1);
    EXPECT_EQ(s.alBuffer, -1);
    EXPECT_EQ(g_AudioGroups.GetGroup(1)->loadState, CAudioGroup::Unloaded);
    EXPECT_EQ(Audio_PlaySound(2, 1, 0), -1);
    EXPECT_TRUE(g_AudioGroups.LoadGroup(1)) << "loads again from Unloaded";
}

TEST_F(AudioGroups, ProgressCountsPreparedSounds) {
    CAudioGroup group(5);
    group.soundCount = 3;
    for (int expected : {33, 66, 100}) {
        group.IncLoadCount();
        EXPECT_EQ(group.progress, expected);
    }
}

TEST_F(AudioGroups, BadGroupFilesAreRefusedAndLeaveTheGroupUnloaded) {
    const std::vector<uint8_t> good = GoodFile();
    auto with = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data() + at, &value, 4);
        return bytes;
    };
    struct Row {
        const char* what;
        std::optional<std::vector<uint8_t>> file;
        const char* message;
    } const rows[] = {
        {"no file", std::nullopt, "Failed to load audiogroup1.dat\n"},
        {"shorter than its header", std::vector<uint8_t>(good.begin(), good.begin() + 10), "Format error"},
        {"another tag", with(8, 0x4F4F4F4F), "Format error"},
        {"length 0", with(12, 0), "Format error"},
        {"length beyond the file", with(12, static_cast<uint32_t>(good.size())), "Format error"},
        {"entry count beyond the payload", with(16, 1000), "Format error"},
        {"entry beyond the file", with(24, static_cast<uint32_t>(good.size() + 8)), "Format error"},
        {"entry length beyond the file", with(28, 1000000), "Format error"},
    };
    for (const Row& row : rows) {
        std::remove((m_folder + "/audiogroup1.dat").c_str());
        if (row.file) WriteGroupFile(*row.file);
        m_console.text.clear();
        EXPECT_FALSE(g_AudioGroups.LoadGroup(1)) << row.what;
        EXPECT_NE(m_console.text.find(row.message), std::string::npos) << row.what << ": " << m_console.text;
        EXPECT_EQ(g_AudioGroups.GetGroup(1)->loadState, CAudioGroup::Unloaded) << row.what;
        EXPECT_EQ(Audio_GetSound(2)->data, nullptr) << row.what;
    }
}

} // namespace
