// Sound assets from writer-made data files: the loaders, the lookup, the
// queries, and bad chunks refused without touching the loaded sounds.
#include <gtest/gtest.h>

#include "audio/mixer_api.h"
#include "audio/sound_assets.h"
#include "sound_fixture.h"
#include "core/game_image.h"

namespace {

using SoundAssets = SoundSystemTest;

TEST_F(SoundAssets, WavSoundsLoadAndAnswerTheQueries) {
    LoadStandard();
    ASSERT_EQ(Audio_Number(), 4);
    EXPECT_STREQ(Audio_Name(0), "blip");
    EXPECT_EQ(Audio_Name(1), nullptr) << "a record offset of 0 has no name";
    EXPECT_EQ(Audio_GetName(1), nullptr);
    EXPECT_STREQ(Audio_GetName(7), "<undefined>");
    EXPECT_EQ(Audio_Find("blip"), 2) << "the highest index with the name";
    EXPECT_EQ(Audio_Find("nothing"), -1);
    EXPECT_TRUE(Audio_Exists(0));
    EXPECT_FALSE(Audio_Exists(1));
    EXPECT_FALSE(Audio_Exists(4));
    EXPECT_EQ(Audio_GetSoundType(3), 1);
    EXPECT_EQ(Audio_GetSoundType(0), 0);
    EXPECT_EQ(Audio_GetSoundType(1), -1);

    const cAudio_Sound* blip = Audio_GetSound(0);
    ASSERT_NE(blip, nullptr);
    EXPECT_EQ(*blip->fileName, "blip.wav");
    EXPECT_GT(blip->alBuffer, 0) << "prepared into a mixer buffer";
    EXPECT_TRUE(alIsBuffer(static_cast<unsigned>(blip->alBuffer)));
    EXPECT_FLOAT_EQ(Audio_SoundLength(0), 0.1f);
    EXPECT_FLOAT_EQ(Audio_SoundLength(2), 0.2f);
    EXPECT_EQ(Audio_GetSound(3)->alBuffer, 0) << "a streamed sound never plays from a buffer";
    EXPECT_EQ(Audio_GetSound(4), nullptr) << "the asset count itself names nothing";
}

TEST_F(SoundAssets, KindWordsGiveTheirFlags) {
    struct Row {
        int32_t kind;
        bool streamed, compressed, decodeOnLoad;
    } const rows[] = {
        {100, true, true, false},  {101, false, false, false}, {102, false, true, false},
        {103, false, false, true}, {104, false, false, false}, {7, true, true, false},
        {0, false, false, false},  {-5, false, false, false},
    };
    for (const Row& row : rows) {
        cAudio_Sound s;
        Audio_SetKindFlags(s, row.kind);
        EXPECT_EQ(s.streamed, row.streamed) << row.kind;
        EXPECT_EQ(s.compressed, row.compressed) << row.kind;
        EXPECT_EQ(s.decodeOnLoad, row.decodeOnLoad) << row.kind;
    }
}

TEST_F(SoundAssets, WithoutGroupsEverySoundIsGroupZero) {
    wad::GameDataWriter w;
    wad::WriteSounds(w, {SoundRecord("a", 0, 101, 5)});
    wad::WriteAudioData(w, {ConstantWav(100, 1)});
    Load(w);
    EXPECT_EQ(Audio_GetSound(0)->group, 0);
    EXPECT_GT(Audio_GetSound(0)->alBuffer, 0);
}

TEST_F(SoundAssets, AnEntryOutsideTheTableOrNotAWavLeavesTheSoundSilent) {
    wad::GameDataWriter w;
    wad::WriteSounds(w, {SoundRecord("far", 9), SoundRecord("junk", 0)});
    wad::WriteAudioData(w, {std::vector<uint8_t>{1, 2, 3, 4, 5}});
    Load(w);
    EXPECT_EQ(Audio_GetSound(0)->data, nullptr);
    EXPECT_EQ(Audio_GetSound(1)->alBuffer, 0);
    EXPECT_EQ(Audio_PlaySound(1, 1, 0), BASE_SOUND_INDEX + 1) << "the handle comes back all the same";
    EXPECT_FALSE(Audio_SoundIsPlaying(BASE_SOUND_INDEX + 1));
}

// Each chunk lies about one thing; the loaders refuse it and the sounds
// loaded before stay as they were.
TEST_F(SoundAssets, BadChunksAreRefusedWithoutPartialState) {
    LoadStandard();
    const cAudio_Sound* before = Audio_GetSound(0);
    struct Row {
        const char* what;
        void (*write)(wad::GameDataWriter&);
    } const rows[] = {
        {"sound count beyond the chunk", [](wad::GameDataWriter& w) { w.AddChunk("SOND").U32(1000).U32(0); }},
        {"record offset beyond the file",
         [](wad::GameDataWriter& w) { w.AddChunk("SOND").U32(1).U32(0x7FFFFFF0u); }},
        {"record cut short by the end of the file",
         [](wad::GameDataWriter& w) {
             wad::Chunk& c = w.AddChunk("SOND");
             c.U32(1).Offset("rec").Label("rec").U32(0).U32(101);
         }},
        {"name offset beyond the file",
         [](wad::GameDataWriter& w) {
             wad::Chunk& c = w.AddChunk("SOND");
             c.U32(1).Offset("rec").Label("rec").U32(0x7FFFFFF0u);
             for (int i = 0; i < 8; ++i) c.U32(0);
         }},
        {"entry length beyond the file",
         [](wad::GameDataWriter& w) {
             wad::Chunk& c = w.AddChunk("AUDO");
             c.U32(1).Offset("e").Label("e").U32(100000).U32(0);
         }},
        {"group name offset beyond the file",
         [](wad::GameDataWriter& w) { w.AddChunk("AGRP").U32(1).U32(0x7FFFFFF0u); }},
    };
    for (const Row& row : rows) {
        wad::GameDataWriter w;
        row.write(w);
        EXPECT_THROW(LoadChunks(w), GameDataError) << row.what;
        EXPECT_EQ(Audio_GetSound(0), before) << row.what;
        EXPECT_EQ(Audio_Number(), 4) << row.what;
    }
}

} // namespace
