// Input recording and playback.
#include "world/input_recording.h"

bool g_IO_Record = false;
bool g_IO_Playback = false;
char* g_pIO_RecordFileName = nullptr;
