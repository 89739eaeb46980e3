// The compiled call stack: every compiled function links a node on its own
// stack frame in front of the head while it runs. Error reports and the
// debugger walk it from the innermost frame outwards.
#pragma once

struct SZQStackTrace {
    SZQStackTrace* pPrev;
    const char* pName;
    int line;

    // Links this node in front of the head; the destructor restores the old head.
    explicit SZQStackTrace(const char* name, int atLine = 0);
    ~SZQStackTrace();
    SZQStackTrace(const SZQStackTrace&) = delete;
    SZQStackTrace& operator=(const SZQStackTrace&) = delete;

    static SZQStackTrace* s_pStart;
};

// Address of the head the error report walks: the game's compiled-code record
// names it; until then it is SZQStackTrace::s_pStart.
extern SZQStackTrace** g_ppZQStackTrace;
