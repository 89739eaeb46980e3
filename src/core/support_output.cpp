// Diagnostic output of the support services, behind one seam so that the
// consoles can take it over in one place.
#include "core/support_output.h"

#include <cstdarg>
#include <cstdio>

#include "core/console.h"

void Support_DebugOutput(const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    dbg_csol->Output("%s", text);
}

void ReportSkeletonError(const char* text) {
    Support_DebugOutput("Skeleton Error:%s\n", text != nullptr ? text : "");
}
