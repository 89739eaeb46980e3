// Catching script errors in tests.
#include "error_capture.h"

#include "core/console.h"
#include "core/error.h"
#include "core/run_state.h"

namespace {

std::vector<std::string> g_reports;
ErrorHooks g_savedHooks;
bool g_savedLaunched;
bool g_savedHeadless;
bool g_savedDisplay;

// The game-end request that follows each fatal error: keep the report and
// let the next error be reported too.
void RecordAndContinue() {
    if (Display_Error_Message != nullptr && Display_Error_Message->Get() != nullptr)
        g_reports.emplace_back(Display_Error_Message->Get());
    aborterror = false;
    New_Room = ROOM_NONE;
}

} // namespace

ErrorCapture::ErrorCapture() {
    g_reports.clear();
    g_savedHooks = g_ErrorHooks;
    g_savedLaunched = g_bLaunchedFromPlayer;
    g_savedHeadless = g_fHeadless;
    g_savedDisplay = option_displayerrors;
    g_ErrorHooks = {};
    g_ErrorHooks.gameEnd = RecordAndContinue;
    g_bLaunchedFromPlayer = true;
    g_fHeadless = true;
    option_displayerrors = false;
    aborterror = false;
    g_fSuppressErrors = false;
    Code_Error_Occured = false;
}

ErrorCapture::~ErrorCapture() {
    g_ErrorHooks = g_savedHooks;
    g_bLaunchedFromPlayer = g_savedLaunched;
    g_fHeadless = g_savedHeadless;
    option_displayerrors = g_savedDisplay;
    aborterror = false;
    New_Room = ROOM_NONE;
    g_reports.clear();
}

const std::vector<std::string>& ErrorCapture::Reports() const {
    return g_reports;
}

std::vector<std::string> ErrorCapture::Messages() const {
    std::vector<std::string> messages;
    for (const std::string& report : g_reports) messages.push_back(ErrorReportMessage(report));
    return messages;
}

std::string ErrorCapture::LastMessage() const {
    return g_reports.empty() ? std::string() : ErrorReportMessage(g_reports.back());
}

void ErrorCapture::Clear() {
    g_reports.clear();
}

std::string ErrorReportMessage(const std::string& report) {
    size_t start = report.find(":\n\n\n");
    if (start == std::string::npos) return std::string();
    start += 4;
    size_t end = report.find("\n####", start);
    return report.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
