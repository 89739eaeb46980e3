// What the voices' decoder threads and the sync-group threads share: the
// error log a decoder thread fills and the main thread prints, opening a
// channel's stream, and decoding one block into the channel's next half.
#pragma once

#include <string>

#include "audio/ogg_audio.h"
#include "core/console.h"

class Mutex;

// Messages of a decoder thread, printed by the main thread at the next frame
// (a thread never prints itself). Guarded by the owning thread's command
// mutex; at most 2,047 characters are kept, the rest is dropped.
class OggLog {
public:
    explicit OggLog(Mutex& mutex) : m_mutex(mutex) {}
    ZQ_PRINTF_LIKE(2, 3) void LogError(const char* format, ...);
    // Prints "(number): " and the text when anything was logged since the
    // last call (no prefix when number < 0), then empties the log.
    void Show(int number);

private:
    Mutex& m_mutex;
    std::string m_text;
    bool m_pending = false;
};

// Stops the source and takes every buffer off its queue.
void OggSource_StopAndUnqueue(unsigned source);

// Opens the stream of c.sound: a streamed sound from its bundle file, any
// other from its compressed bytes. Only mono and stereo streams are taken
// (the mixer's formats). False, logged, when it cannot be opened.
bool OggChannel_Open(SOggChannel& c, OggLog& log);
// Closes the decoder state when a stream is open.
void OggChannel_Close(SOggChannel& c);
// Decodes up to one block into the half halfIndex selects and toggles
// halfIndex. At the end of the stream a looping decode wraps to the start.
// Returns the bytes decoded (0: none, or a read error, logged) and the half.
int OggChannel_DecodeBlock(SOggChannel& c, bool loop, OggLog& log, const char** half);
