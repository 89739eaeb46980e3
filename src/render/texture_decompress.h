// Software decompression of PVRTC (version 1, 2 and 4 bits a texel) and ETC1
// texture data to 8-bit RGBA (red, green, blue, alpha; rows packed), for
// devices that cannot sample the compressed forms.
//
// Neither decoder is given the data's length: the caller checks that the data
// covers the block grid with the *_DataSize functions before decoding.
#pragma once

#include <cstddef>

// Bytes of PVRTC data for a width × height texture: 8 bytes a block over a
// grid of max(2, width ÷ block width) × max(2, height ÷ 4) blocks, each side
// rounded up to a power of two (the twiddled order needs one); 0 for a size
// outside 1 to 16384.
size_t PVRTC_DataSize(int twoBitMode, int width, int height);
// Decodes PVRTC data (twoBitMode non-zero: 8 × 4 texels a block, else 4 × 4)
// into width × height × 4 bytes; returns the bytes of data read, 0 when the
// size is out of range (nothing written).
int PVRTDecompressPVRTC(const void* data, int twoBitMode, int width, int height, unsigned char* out);

// Bytes of ETC1 data: 8 bytes per 4 × 4 block, in rows of blocks; 0 for a
// size outside 1 to 16384.
size_t ETC_DataSize(unsigned width, unsigned height);
// Decodes ETC1 data into width × height × 4 bytes (alpha 255); `mode` is not used.
void PVRTDecompressETC(const void* data, const unsigned& width, const unsigned& height, void* out,
                       const int& mode);
