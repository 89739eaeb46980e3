// Where the support services (file service, threads, timing, skeleton reader)
// print their diagnostics until the runtime's consoles take them over.
#pragma once

// printf-style line on the debug console. For now it writes to standard error;
// once the consoles exist this forwards to the debug console.
void Support_DebugOutput(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The error sink of the skeletal-animation reader: "Skeleton Error:%s\n".
void ReportSkeletonError(const char* text);
