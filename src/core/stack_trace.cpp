// The compiled call stack's head and node linking.
#include "core/stack_trace.h"

SZQStackTrace* SZQStackTrace::s_pStart = nullptr;
SZQStackTrace** g_ppZQStackTrace = &SZQStackTrace::s_pStart;

SZQStackTrace::SZQStackTrace(const char* name, int atLine) : pPrev(s_pStart), pName(name), line(atLine) {
    s_pStart = this;
}

SZQStackTrace::~SZQStackTrace() {
    s_pStart = pPrev;
}
