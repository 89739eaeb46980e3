// The mixer's output and capture devices over SDL2 audio.
#pragma once

// Makes alcOpenDevice and alcCaptureOpenDevice create the SDL devices.
void Platform_InstallAudioDevices();
