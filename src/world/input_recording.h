// Recording the input state to a file, one record per step, and playing such
// a file back in place of the platform's input ("-record", "-playback").
#pragma once

// Set by the command line: record to, or play back from, g_pIO_RecordFileName
// (memory-manager text, or null).
extern bool g_IO_Record;
extern bool g_IO_Playback;
extern char* g_pIO_RecordFileName;
