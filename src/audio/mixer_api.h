// The software mixer's programming interface: the OpenAL 1.1 entry points the
// runtime uses, with the standard's enum values, plus the mixer's own
// extensions. freealut is linked against these definitions, so their C
// signatures must stay those of the standard.
//
// Departures from the standard that callers rely on: alGetError never reports
// (failures are kept in the context's lastError), deleted sources come back
// from alGenSources, and the runtime's own sample owners hand buffers their
// samples without a copy (alBufferDataNoCopy).
#pragma once

#include <cstdint>

struct ALCdevice_struct;
struct ALCcontext_struct;

// [SECTION] enum values
inline constexpr int AL_NONE = 0;
inline constexpr int AL_FALSE = 0;
inline constexpr int AL_TRUE = 1;

inline constexpr int AL_NO_ERROR = 0;
inline constexpr int AL_INVALID_NAME = 0xA001;
inline constexpr int AL_INVALID_ENUM = 0xA002;
inline constexpr int AL_INVALID_VALUE = 0xA003;
inline constexpr int AL_INVALID_OPERATION = 0xA004;
inline constexpr int AL_OUT_OF_MEMORY = 0xA005;

inline constexpr int AL_SOURCE_RELATIVE = 0x202;
inline constexpr int AL_CONE_INNER_ANGLE = 0x1001;
inline constexpr int AL_CONE_OUTER_ANGLE = 0x1002;
inline constexpr int AL_PITCH = 0x1003;
inline constexpr int AL_POSITION = 0x1004;
inline constexpr int AL_DIRECTION = 0x1005;
inline constexpr int AL_VELOCITY = 0x1006;
inline constexpr int AL_LOOPING = 0x1007;
inline constexpr int AL_BUFFER = 0x1009;
inline constexpr int AL_GAIN = 0x100A;
inline constexpr int AL_MIN_GAIN = 0x100D;
inline constexpr int AL_MAX_GAIN = 0x100E;
inline constexpr int AL_ORIENTATION = 0x100F;
inline constexpr int AL_SOURCE_STATE = 0x1010;
inline constexpr int AL_INITIAL = 0x1011;
inline constexpr int AL_PLAYING = 0x1012;
inline constexpr int AL_PAUSED = 0x1013;
inline constexpr int AL_STOPPED = 0x1014;
inline constexpr int AL_BUFFERS_QUEUED = 0x1015;
inline constexpr int AL_BUFFERS_PROCESSED = 0x1016;
inline constexpr int AL_REFERENCE_DISTANCE = 0x1020;
inline constexpr int AL_ROLLOFF_FACTOR = 0x1021;
inline constexpr int AL_CONE_OUTER_GAIN = 0x1022;
inline constexpr int AL_MAX_DISTANCE = 0x1023;
inline constexpr int AL_SEC_OFFSET = 0x1024;
inline constexpr int AL_SAMPLE_OFFSET = 0x1025;
inline constexpr int AL_BYTE_OFFSET = 0x1026;
inline constexpr int AL_SOURCE_TYPE = 0x1027;
inline constexpr int AL_UNDETERMINED = 0x1030;

inline constexpr int AL_FREQUENCY = 0x2001;
inline constexpr int AL_BITS = 0x2002;
inline constexpr int AL_CHANNELS = 0x2003;
inline constexpr int AL_SIZE = 0x2004;

inline constexpr int AL_DOPPLER_FACTOR = 0xC000;
inline constexpr int AL_DISTANCE_MODEL = 0xD000;
inline constexpr int AL_INVERSE_DISTANCE = 0xD001;
inline constexpr int AL_INVERSE_DISTANCE_CLAMPED = 0xD002;
inline constexpr int AL_LINEAR_DISTANCE = 0xD003;
inline constexpr int AL_LINEAR_DISTANCE_CLAMPED = 0xD004;
inline constexpr int AL_EXPONENT_DISTANCE = 0xD005;
inline constexpr int AL_EXPONENT_DISTANCE_CLAMPED = 0xD006;

inline constexpr int AL_FORMAT_MONO8 = 0x1100;
inline constexpr int AL_FORMAT_MONO16 = 0x1101;
inline constexpr int AL_FORMAT_STEREO8 = 0x1102;
inline constexpr int AL_FORMAT_STEREO16 = 0x1103;
inline constexpr int AL_FORMAT_QUAD8 = 0x1204;
inline constexpr int AL_FORMAT_QUAD16 = 0x1205;
inline constexpr int AL_FORMAT_QUAD32 = 0x1206;
inline constexpr int AL_FORMAT_51CHN8 = 0x120A;
inline constexpr int AL_FORMAT_51CHN16 = 0x120B;
inline constexpr int AL_FORMAT_51CHN32 = 0x120C;
inline constexpr int AL_FORMAT_61CHN8 = 0x120D;
inline constexpr int AL_FORMAT_61CHN16 = 0x120E;
inline constexpr int AL_FORMAT_61CHN32 = 0x120F;
inline constexpr int AL_FORMAT_71CHN8 = 0x1210;
inline constexpr int AL_FORMAT_71CHN16 = 0x1211;
inline constexpr int AL_FORMAT_71CHN32 = 0x1212;
inline constexpr int AL_FORMAT_QUAD8_LOKI = 0x10004;
inline constexpr int AL_FORMAT_QUAD16_LOKI = 0x10005;
inline constexpr int AL_FORMAT_MONO_FLOAT32 = 0x10010;
inline constexpr int AL_FORMAT_STEREO_FLOAT32 = 0x10011;
inline constexpr int AL_FORMAT_MONO_DOUBLE_EXT = 0x10012;
inline constexpr int AL_FORMAT_STEREO_DOUBLE_EXT = 0x10013;

inline constexpr int ALC_NO_ERROR = 0;
inline constexpr int ALC_CAPTURE_DEVICE_SPECIFIER = 0x310;
inline constexpr int ALC_CAPTURE_SAMPLES = 0x312;
inline constexpr int ALC_DEVICE_SPECIFIER = 0x1005;

// [SECTION] entry points. Booleans are returned as the standard's char.
extern "C" {

// Devices (a device is output or capture; capture is one shared device).
ALCdevice_struct* alcOpenDevice(const char* name);
char alcCloseDevice(ALCdevice_struct* device);
int alcGetError(ALCdevice_struct* device);
ALCdevice_struct* alcCaptureOpenDevice(const char* name, unsigned rate, int format, int size);
char alcCaptureCloseDevice(ALCdevice_struct* device);
void alcCaptureStart(ALCdevice_struct* device);
void alcCaptureStop(ALCdevice_struct* device);
void alcCaptureSamples(ALCdevice_struct* device, void* buffer, int samples);
void alcGetIntegerv(ALCdevice_struct* device, int param, int size, int* values);
const char* alcGetString(ALCdevice_struct* device, int param);

// Contexts.
ALCcontext_struct* alcCreateContext(ALCdevice_struct* device, const int* attributes);
char alcMakeContextCurrent(ALCcontext_struct* context);
ALCcontext_struct* alcGetCurrentContext();
void alcSuspendContext(ALCcontext_struct* context);
void alcProcessContext(ALCcontext_struct* context);
void alcDestroyContext(ALCcontext_struct* context);
ALCdevice_struct* alcGetContextsDevice(ALCcontext_struct* context);
void alcSetListenerMask(unsigned mask);

int alGetError();

// Listener of the current context.
void alListenerf(int param, float value);
void alListener3f(int param, float x, float y, float z);
void alListenerfv(int param, const float* values);

// Buffers.
void alGenBuffers(int n, unsigned* ids);
void alDeleteBuffers(int n, const unsigned* ids);
char alIsBuffer(unsigned id);
void alBufferData(unsigned id, int format, const void* data, int size, int frequency);
void alGetBufferi(unsigned id, int param, int* value);
void alBufferDebugName(unsigned id, const char* name);

// Sources and queues.
void alGenSources(int n, unsigned* ids);
void alDeleteSources(int n, const unsigned* ids);
void alSourcePlay(unsigned id);
void alSourcePlayv(int n, const unsigned* ids);
void alSourcePause(unsigned id);
void alSourceStop(unsigned id);
void alSourceSetListenerMask(unsigned id, unsigned mask);
void alSourcef(unsigned id, int param, float value);
void alSourcei(unsigned id, int param, int value);
void alSource3f(unsigned id, int param, float x, float y, float z);
void alGetSourcei(unsigned id, int param, int* value);
void alGetSourcef(unsigned id, int param, float* value);
void alSourceQueueBuffers(unsigned id, int n, const unsigned* ids);
void alSourceUnqueueBuffers(unsigned id, int n, unsigned* ids);
void alDistanceModel(int model);

} // extern "C"

// The runtime's own path for samples it keeps alive itself (sound assets,
// buffer sounds, the Ogg streams' halves): the buffer points at `data`
// without copying it, so the caller keeps the bytes alive and unchanged for
// as long as a source may play the buffer. Validation as alBufferData.
void alBufferDataNoCopy(unsigned id, int format, const void* data, int size, int frequency);
