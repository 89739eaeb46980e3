#include "ogg_fixture.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "core/load_save.h"
#include "core/thread.h"

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ToneOgg(const std::string& folder, int channels, int frames) {
    std::vector<uint8_t> pcm;
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440 * i / 22050.0));
        for (int c = 0; c < channels; ++c) {
            pcm.push_back(static_cast<uint8_t>(v));
            pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
        }
    }
    const std::string wav = folder + "/tone.wav", ogg = folder + "/tone.ogg";
    WriteAll(wav, wad::WavImage(channels, 16, 22050, pcm));
    const std::string command = "oggenc -Q -o " + ogg + " " + wav;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<uint8_t> bytes = ReadAll(ogg);
    std::remove(wav.c_str());
    std::remove(ogg.c_str());
    return bytes;
}

void OggSounds::SetUp() {
    SoundSystemTest::SetUp();
    char folder[] = "/tmp/corvane-ogg-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_folder = folder;
    LoadSave_SetGameName((m_folder + "/game.ios").c_str());
    m_mono = ToneOgg(m_folder, 1);
    m_stereo = ToneOgg(m_folder, 2);
    ASSERT_FALSE(m_mono.empty());
}

void OggSounds::TearDown() {
    // The sound system first: its threads may still read the files.
    SoundSystemTest::TearDown();
    LoadSave_SetGameName(nullptr);
    std::remove((m_folder + "/music.ogg").c_str());
    for (const std::string& name : m_bundleFiles) std::remove((m_folder + "/" + name).c_str());
    rmdir(m_folder.c_str());
}

void OggSounds::WriteBundleFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteAll(m_folder + "/" + name, bytes);
    m_bundleFiles.push_back(name);
}

void OggSounds::LoadDecoded() {
    WriteAll(m_folder + "/music.ogg", m_stereo);
    std::vector<uint8_t> damaged(m_mono.begin(), m_mono.begin() + 100);
    wad::GameDataWriter w;
    wad::SoundFields streamed = SoundRecord("music", 9, 100);
    streamed.fileName = "music.ogg";
    wad::WriteSounds(w, {SoundRecord("mono", 0, 102), SoundRecord("stereo", 1, 102), streamed,
                         SoundRecord("damaged", 2, 102)});
    wad::WriteAudioData(w, {m_mono, m_stereo, damaged});
    Load(w);
}

bool OggSounds::RunUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 1500; ++i) {
        if (done()) return true;
        Mix(512);
        Tick(1);
        CThread::Sleep(2);
    }
    return done();
}
