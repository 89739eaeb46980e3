// Diagnostic output of the support services, behind one seam so that the
// consoles can take it over in one place.
#include "core/support_output.h"

#include <cstdarg>
#include <cstdio>

void Support_DebugOutput(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

void ReportSkeletonError(const char* text) {
    Support_DebugOutput("Skeleton Error:%s\n", text != nullptr ? text : "");
}
