// Catching errors in tests, the one way every test does it: while an
// ErrorCapture lives, errors are reported as in a headless run launched from
// the development tools (the report is built and kept, the process goes on,
// nothing is printed, no window opens). It records the fatal errors' reports
// and, fatal or not, every error text and message shown to the player.
#pragma once

#include <string>
#include <vector>

class ErrorCapture {
public:
    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    // Reports of the fatal errors raised so far, oldest first.
    const std::vector<std::string>& Reports() const;
    // The message of each report (the headline's last part), oldest first.
    std::vector<std::string> Messages() const;
    // The last message, or "" when there was none.
    std::string LastMessage() const;
    int Count() const { return static_cast<int>(Reports().size()); }

    // Every error text shown, fatal or not, and every message handed to the
    // message window (texts other modules show directly), oldest first.
    const std::vector<std::string>& Shown() const;
    // The last shown text, or "" when there was none.
    std::string LastShown() const;
    // True when some shown text contains `part`.
    bool ShownContains(const std::string& part) const;

    void Clear();
};

// The message that a report carries: the text after the headline's two empty
// lines, up to the report's closing line of "#".
std::string ErrorReportMessage(const std::string& report);
