// Buffer sounds and play queues (see buffer_sounds.h).
#include "audio/buffer_sounds.h"

#include <algorithm>
#include <cstdint>

#include "audio/audio_events.h"
#include "audio/mixer_api.h"
#include "audio/sound_assets.h"
#include "audio/voices.h"
#include "core/buffer_table.h"
#include "core/console.h"
#include "core/error.h"
#include "core/run_settings.h"
#include "data/ds_map.h"
#include "world/datafile/options.h"

namespace {

constexpr int kBufferSoundGrowth = 16;
constexpr float kQueuePriority = 10.0f;

bool Running() {
    return !g_fNoAudio && g_UseNewAudio;
}

int MixerFormat(int type, int channels) {
    const bool stereo = channels == 1;
    if (type == eBuffer_U8) return stereo ? AL_FORMAT_STEREO8 : AL_FORMAT_MONO8;
    return stereo ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

int FirstEmptySlot(SoundTable& table, int growth) {
    for (size_t i = 0; i < table.size(); ++i)
        if (!table[i]) return static_cast<int>(i);
    const size_t first = table.size();
    table.resize(first + static_cast<size_t>(growth));
    return static_cast<int>(first);
}

cAudio_Sound* QueueRecord(int queue) {
    return Audio_IsQueueIndex(queue) ? Audio_GetSound(queue) : nullptr;
}

// The queue's voice while it still plays the queue (a stolen voice that now
// plays something else no longer counts).
CNoise* QueueVoice(cAudio_Sound& q, int queue) {
    if (q.queueVoice != nullptr && q.queueVoice->sound != queue) q.queueVoice = nullptr;
    return q.queueVoice;
}

// The buffer sound (first in slot order) whose mixer buffer is `buffer`.
int BufferSoundOf(unsigned buffer) {
    for (size_t i = 0; i < g_BufferSounds.size(); ++i)
        if (g_BufferSounds[i] && g_BufferSounds[i]->alBuffer == static_cast<int32_t>(buffer))
            return BUFFER_SOUND_BASE + static_cast<int>(i);
    return -1;
}

void PostQueueEvent(int queueId, int bufferId, bool shutdown) {
    const char* none = nullptr;
    const int map =
        CreateDsMap(3, "queue_id", static_cast<double>(queueId), none, "buffer_id",
                    static_cast<double>(bufferId), none, "queue_shutdown", shutdown ? 1.0 : 0.0, none);
    Audio_PostMapEvent(map, ASYNC_AUDIO_PLAYBACK);
}

// Takes one finished buffer off the source and frees its buffer sound; the
// script buffer it came from, or -1 when no buffer sound matched.
int TakeProcessedBuffer(unsigned source) {
    unsigned buffer = 0;
    alSourceUnqueueBuffers(source, 1, &buffer);
    const int sound = buffer != 0 ? BufferSoundOf(buffer) : -1;
    if (sound < 0) return -1;
    const int bufferId = g_BufferSounds[sound - BUFFER_SOUND_BASE]->bufferId;
    Audio_FreeBufferSound(sound);
    return bufferId;
}

int Processed(unsigned source) {
    int processed = 0, queued = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    return std::min(processed, queued);
}

} // namespace

// [SECTION] buffer sounds

int Audio_CreateBufferSound(int bufferId, int type, int sampleRate, int offset, int length, int channels) {
    if (type != eBuffer_U8 && type != eBuffer_S16) {
        Error_Show("audio_create_buffer_sound: unsupported format (use buffer_u8,buffer_s16)", false);
        return -1;
    }
    IBuffer* buffer = GetIBuffer(bufferId);
    if (buffer == nullptr) {
        dbg_csol->Output("audio_create_buffer_sound: Invalid buffer id: %d\n", bufferId);
        return -1;
    }
    const int used = buffer->UsedSize();
    if (used <= 0) {
        dbg_csol->Output("audio_create_buffer_sound: not queueing data, buffer %d is empty\n", bufferId);
        return -1;
    }
    const int rate = std::clamp(sampleRate, 1000, 48000);
    if (channels < 0 || channels > 2) {
        Error_Show("audio_create_buffer_sound: channels should be audio_mono, audio_stereo, or audio_3d",
                   false);
        return -1;
    }
    offset = std::max(offset, 0);
    // 64-bit, so a huge offset plus length cannot wrap round into the buffer.
    if (length < 0 || int64_t{offset} + length > used || offset >= used) {
        dbg_csol->Output(
            "audio_create_buffer_sound: not enough data in buffer to create sound with offset %d length %d",
            offset, length);
        return -1;
    }
    const int bytes = length != 0 ? length : used - offset;
    const int channelCount = channels == 1 ? 2 : 1;
    const int bytesPerSample = type == eBuffer_U8 ? 1 : 2;
    if (bytes % (channelCount * bytesPerSample) != 0) {
        dbg_csol->Output("audio_create_buffer_sound: %d bytes is not a whole number of %d-byte samples\n",
                         bytes, channelCount * bytesPerSample);
        return -1;
    }

    unsigned name = 0;
    alGenBuffers(1, &name);
    checkAL("Audio_CreateBufferSound(1)");
    if (name == 0) {
        dbg_csol->Output("audio_create_buffer_sound: no mixer buffer could be made\n");
        return -1;
    }
    // A copy: the script buffer may grow (moving its bytes) or be rewritten
    // for the next part of a queue while this one plays.
    alBufferData(name, MixerFormat(type, channels), buffer->Data() + offset, bytes, rate);
    checkAL("Audio_CreateBufferSound(2)");
    int filled = 0;
    alGetBufferi(name, AL_SIZE, &filled);
    if (filled != bytes) {
        dbg_csol->Output("audio_create_buffer_sound: the mixer refused the samples\n");
        alDeleteBuffers(1, &name);
        return -1;
    }

    const int slot = FirstEmptySlot(g_BufferSounds, kBufferSoundGrowth);
    auto s = std::make_unique<cAudio_Sound>();
    s->alBuffer = static_cast<int32_t>(name);
    s->channels = channelCount;
    s->sampleRate = rate;
    s->lengthSeconds = static_cast<float>(bytes) / static_cast<float>(rate * channelCount * bytesPerSample);
    s->bufferId = bufferId;
    g_BufferSounds[slot] = std::move(s);
    buffer->AddUse();
    return BUFFER_SOUND_BASE + slot;
}

bool Audio_FreeBufferSound(int index) {
    const int slot = index - BUFFER_SOUND_BASE;
    if (slot < 0 || slot >= static_cast<int>(g_BufferSounds.size()) || !g_BufferSounds[slot]) return false;
    for (auto& v : playingsounds)
        if (v->sound == index) Audio_StopSoundNoise(v.get(), true);
    if (IBuffer* buffer = GetIBuffer(g_BufferSounds[slot]->bufferId)) buffer->ReleaseUse();
    // The record's destructor deletes its mixer buffer.
    g_BufferSounds[slot].reset();
    return true;
}

// [SECTION] play queues

int Audio_CreatePlayQueue(int type, int sampleRate, int channels) {
    if (channels < 0 || channels > 2) {
        Error_Show("audio_create_play_queue: channels should be audio_mono, audio_stereo, or audio_3d",
                   false);
        return -1;
    }
    if (type != eBuffer_S16 && type != eBuffer_U8) {
        Error_Show("audio_create_play_queue: unsupported format (use buffer_u8,buffer_s16)", false);
        return -1;
    }
    const int slot = FirstEmptySlot(g_QueueSounds, 1);
    auto q = std::make_unique<cAudio_Sound>();
    q->alBuffer = -1;
    q->channels = 1;
    q->lengthSeconds = 0.0f;
    q->sampleRate = std::clamp(sampleRate, 1000, 48000);
    q->queueFormat = type;
    q->queueChannels = channels;
    q->singleVoice = true;
    g_QueueSounds[slot] = std::move(q);
    dbg_csol->Output("create queue %d\n", QUEUE_SOUND_BASE + slot);
    return QUEUE_SOUND_BASE + slot;
}

int Audio_QueueBufferSound(int queue, int bufferId, int offset, int length) {
    if (!Running()) return -1;
    cAudio_Sound* q = QueueRecord(queue);
    if (q == nullptr) {
        dbg_csol->Output("audio_queue_buffer_sound : Invalid queue id: %d\n", queue);
        return -1;
    }
    const int sound =
        Audio_CreateBufferSound(bufferId, q->queueFormat, q->sampleRate, offset, length, q->queueChannels);
    const cAudio_Sound* part = Audio_GetSound(sound);
    if (part == nullptr || sound < BUFFER_SOUND_BASE) {
        dbg_csol->Output("audio_queue_buffer_sound : Invalid buffer sound id: %d\n", sound);
        return -1;
    }
    CNoise* v = QueueVoice(*q, queue);
    if (v == nullptr) {
        v = Audio_GetSoundSourceToPlay(queue, kQueuePriority);
        if (v == nullptr) {
            // Every voice plays at a higher priority: nothing is queued.
            dbg_csol->Output("audio_queue_buffer_sound : no voice free for queue %d\n", queue);
            Audio_FreeBufferSound(sound);
            return -1;
        }
        v->handle = g_NoiseHandleIndex++;
        v->sound = queue;
        v->gain = 1.0f;
        v->gainTicks = 0;
        v->listenerMask = g_GlobalListenerMask;
        v->loop = false;
        v->priority = kQueuePriority;
        const unsigned source = Audio_SourceOf(*v);
        alSourcef(source, AL_MAX_DISTANCE, g_Audio_Max_Distance);
        alSourcef(source, AL_GAIN, q->gain);
        alSourcef(source, AL_PITCH, q->pitch);
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        q->queueVoice = v;
    }
    const unsigned source = Audio_SourceOf(*v);
    if (part->alBuffer != 0) {
        const unsigned buffer = static_cast<unsigned>(part->alBuffer);
        alSourceQueueBuffers(source, 1, &buffer);
        if (alGetError() != AL_NO_ERROR)
            dbg_csol->Output("audio_queue_buffer_sound : OpenAL Error queueing buffer\n");
        alSourcei(source, AL_LOOPING, AL_FALSE);
    }
    if (alGetError() != AL_NO_ERROR)
        dbg_csol->Output("audio_queue_buffer_sound : OpenAL Error playing queued sound\n");
    return v->handle;
}

void Audio_Unqueue_Processed_Buffers(CNoise* v, int queue, bool shutdown) {
    if (v == nullptr) return;
    const unsigned source = Audio_SourceOf(*v);
    if (source == 0) return;
    const int processed = Processed(source);
    for (int i = 0; i < processed; ++i) {
        const int bufferId = TakeProcessedBuffer(source);
        if (Audio_IsQueueIndex(v->sound)) PostQueueEvent(queue, bufferId, shutdown);
    }
}

bool Audio_FreePlayQueue(int queue) {
    cAudio_Sound* q = QueueRecord(queue);
    if (q == nullptr) return false;
    if (CNoise* v = QueueVoice(*q, queue)) {
        const unsigned source = Audio_SourceOf(*v);
        // Stopped, every queued buffer counts as finished.
        alSourcePlay(source);
        alSourceStop(source);
        const int processed = Processed(source);
        for (int i = 0; i < processed; ++i)
            PostQueueEvent(queue - QUEUE_SOUND_BASE, TakeProcessedBuffer(source), true);
        Audio_StopSoundNoise(v, true);
    }
    g_QueueSounds[queue - QUEUE_SOUND_BASE].reset();
    return true;
}

void Audio_UpdatePlayQueues() {
    for (size_t j = 0; j < g_QueueSounds.size(); ++j) {
        if (!g_QueueSounds[j]) continue;
        const int queue = QUEUE_SOUND_BASE + static_cast<int>(j);
        Audio_Unqueue_Processed_Buffers(Audio_GetNoiseFromQueuedSoundID(queue), queue, false);
    }
}

void Audio_ForgetQueueVoices() {
    for (auto& q : g_QueueSounds)
        if (q) q->queueVoice = nullptr;
}

void Audio_ClearBufferSounds() {
    for (auto& s : g_BufferSounds) {
        if (!s) continue;
        if (IBuffer* buffer = GetIBuffer(s->bufferId)) buffer->ReleaseUse();
    }
    g_BufferSounds.clear();
    g_QueueSounds.clear();
}
