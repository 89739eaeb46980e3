// Catching script errors in tests.
#include "error_capture.h"

#include "core/console.h"
#include "core/error.h"
#include "core/run_state.h"

namespace {

std::vector<std::string> g_reports;
std::vector<std::string> g_shown;
// An error is being shown: its text becomes Display_Error_Message right after
// the input-clearing hook that every shown error calls, so it is taken at the
// next such call or when the capture is read.
bool g_pending = false;
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

void TakePending() {
    if (g_pending && Display_Error_Message != nullptr && Display_Error_Message->Get() != nullptr)
        g_shown.emplace_back(Display_Error_Message->Get());
    g_pending = false;
}

void ErrorShowing() {
    TakePending();
    g_pending = true;
}

void MessageShown(const char* text) {
    TakePending();
    g_shown.emplace_back(text != nullptr ? text : "");
}

} // namespace

ErrorCapture::ErrorCapture() {
    g_reports.clear();
    g_shown.clear();
    g_pending = false;
    g_savedHooks = g_ErrorHooks;
    g_savedLaunched = g_bLaunchedFromPlayer;
    g_savedHeadless = g_fHeadless;
    g_savedDisplay = option_displayerrors;
    g_ErrorHooks = {};
    g_ErrorHooks.gameEnd = RecordAndContinue;
    g_ErrorHooks.clearInput = ErrorShowing;
    g_ErrorHooks.showMessage = MessageShown;
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
    g_shown.clear();
    g_pending = false;
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

const std::vector<std::string>& ErrorCapture::Shown() const {
    TakePending();
    return g_shown;
}

std::string ErrorCapture::LastShown() const {
    const std::vector<std::string>& shown = Shown();
    return shown.empty() ? std::string() : shown.back();
}

bool ErrorCapture::ShownContains(const std::string& part) const {
    for (const std::string& text : Shown())
        if (text.find(part) != std::string::npos) return true;
    return false;
}

void ErrorCapture::Clear() {
    g_reports.clear();
    g_shown.clear();
    g_pending = false;
}

std::string ErrorReportMessage(const std::string& report) {
    size_t start = report.find(":\n\n\n");
    if (start == std::string::npos) return std::string();
    start += 4;
    size_t end = report.find("\n####", start);
    return report.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
