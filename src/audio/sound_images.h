// freealut behind a narrow door: it parses WAV and AU images into mixer
// buffers and opens and closes the mixer. Its header's AL macros clash with
// the mixer's constants, so only sound_images.cpp includes it. freealut keeps
// one global error state, so every call here is serialised: audio-group loader
// threads prepare sounds while the main thread may be loading others.
#pragma once

#include <string>

// alutInit with no arguments (opens the mixer's device and context); false
// with `error` set when it fails.
bool SoundImage_OpenMixer(std::string* error);
// alutExit: closes the context and device alutInit opened.
void SoundImage_CloseMixer();
// A new mixer buffer holding the samples of a WAV or AU image, or 0 with
// `error` set when the image cannot be parsed.
unsigned SoundImage_CreateBuffer(const void* image, int size, std::string* error);
