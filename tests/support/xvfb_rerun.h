// Tests on a real X display: the test program runs itself once more under
// xvfb-run, on a virtual screen of a chosen size, with only the inner tests
// and ZQ_XVFB_INNER set. The inner tests run only there (skipped in every
// other run); the outer test passes when the inner run does.
#pragma once

#include <gtest/gtest.h>

#include <string>

struct SDL_Window;

// True in the run on the virtual display.
bool InXvfbRun();

bool XvfbInstalled();

// Runs this program on a virtual screen ("WxHx24") with the tests of
// `filter`, ZQ_XVFB_INNER and the variables of `environment` ("NAME=value
// ..." as the shell reads them) set; returns the program's exit status (-1
// when it did not exit) and its output.
int RunOnXvfb(const char* screen, const char* filter, const std::string& environment, std::string* output);

// The outer test's whole body: reruns this program on a virtual screen
// ("WxHx24") with the tests of `filter` and expects exactly one test to run
// and pass there. Skipped inside that run, and with a clear message where
// Xvfb is not installed.
void ExpectPassesOnXvfb(const char* screen, const char* filter);

// Pumps SDL's events until the window has this size, for up to two seconds:
// an X server applies a resize or a full-screen switch when it gets to it.
bool WindowSizeBecomes(SDL_Window* window, int width, int height);
