// Recording the input state to a file, one record per step, and playing such
// a file back in place of the platform's input ("-record", "-playback").
//
// The file has no header: one 3034-byte little-endian record per step, the
// fields in this order: last character (2), keyboard string (1025 × 2), last
// key (4), current key (4), keys held, released, pressed (256 each), last
// button and current button (10 × 4 each), buttons held, released, pressed
// (30 each), wheel up and down (10 each), 8 reserved bytes, pointer x and y (4
// each).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

inline constexpr size_t kIORecordSize = 3034;

// Set by the command line: record to, or play back from, g_pIO_RecordFileName
// (memory-manager text, or null). With both set the file is played back.
extern bool g_IO_Record;
extern bool g_IO_Playback;
extern char* g_pIO_RecordFileName;
// The open record file (unbuffered), or null.
extern FILE* g_hIOFile;

// Opens the file the command line named (input start-up): for playback when
// playback is on ("rb", and recording is switched off), else created or
// truncated for recording ("w+b"). A file that cannot be opened leaves both
// switches as they are and nothing is read or written.
void IO_Record_Open();
void IO_Record_Close();
// Appends the state as one record and flushes the file. A failed write is
// reported once and ends the recording.
void IO_Record_Step();
// Reads the next record into the state. A record cut short at the end of the
// file, or one that cannot be input (a flag other than 0 or 1, a button
// outside 0 to 3, a keyboard string without its terminator), ends the
// playback: it is not applied, and the state of the last whole record stays.
void IO_Playback_Step();
// True once the playback file has ended.
bool IO_Playback_Ended();

// The state as one record, and a record into the state (false, with nothing
// stored, for a record that cannot be input).
void IO_Record_Pack(uint8_t (&record)[kIORecordSize]);
bool IO_Record_Unpack(const uint8_t (&record)[kIORecordSize]);
