// Keeps the debug console's lines while it lives, so tests can read what the
// renderer reported and decoding failures do not flood the test output.
#pragma once

#include "core/console.h"

class ConsoleCapture {
public:
    ConsoleCapture() : m_previous(dbg_csol) { dbg_csol = &m_console; }
    ~ConsoleCapture() { dbg_csol = m_previous; }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    const char* Text() const { return m_console.Text(); }

private:
    TErrStreamConsole m_console;
    tagIConsole* m_previous;
};

// A test whose debug console output is captured.
class QuietTest : public ::testing::Test {
protected:
    ConsoleCapture console;
};
