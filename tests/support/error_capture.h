// Catching script errors in tests: while an ErrorCapture lives, errors are
// reported as in a run launched from the development tools (the report is
// built and kept, the process goes on), nothing is printed, no window opens,
// and each error is recorded with the message it carried.
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
    void Clear();
};

// The message that a report carries: the text after the headline's two empty
// lines, up to the report's closing line of "#".
std::string ErrorReportMessage(const std::string& report);
