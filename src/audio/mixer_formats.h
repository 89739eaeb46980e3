// The mixer's sample formats: channels and bytes per sample of every format
// enum the mixer knows, and the frame sizes a buffer accepts.
#pragma once

// Channel count and bytes per single-channel sample; 0 for an unknown value.
// Multichannel formats are described (the device format may be one) but no
// buffer accepts them.
int channelsFromFormat(int format);
int bytesFromFormat(int format);
// Bytes per frame of a format a buffer accepts (8-, 16-bit, float and double
// mono or stereo), else 0.
int bufferFrameSizeFromFormat(int format);
