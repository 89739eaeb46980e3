// Ogg Vorbis fixtures encoded in the test with Debian's oggenc, and the
// sound-system fixture with a bundle folder of its own and a way to run the
// output device and the main loop until something happens.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sound_fixture.h"

std::vector<uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);

// `frames` frames of a 440 Hz tone at 22050 Hz, in one or two channels,
// encoded as Ogg Vorbis (in `folder`, which is left as it was).
std::vector<uint8_t> ToneOgg(const std::string& folder, int channels, int frames = 11025);

class OggSounds : public SoundSystemTest {
protected:
    // A fresh temporary folder as the bundle; half-second mono and stereo tones.
    void SetUp() override;
    void TearDown() override;

    // Sounds 0 compressed mono, 1 compressed stereo, 2 streamed from the
    // bundle's "music.ogg" (stereo), 3 damaged compressed data.
    void LoadDecoded();
    // Renders output and runs frames, as the device and the main loop do,
    // until `done` holds; false when it never does within a few seconds.
    bool RunUntil(const std::function<bool()>& done);
    int SourceStateOf(int handle) { return SourceState(SourceOf(handle)); }
    // Writes a bundle file, removed again by TearDown.
    void WriteBundleFile(const std::string& name, const std::vector<uint8_t>& bytes);

    std::string m_folder;
    std::vector<uint8_t> m_mono, m_stereo;
    std::vector<std::string> m_bundleFiles;
};
