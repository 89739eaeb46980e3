// A path in the temporary folder that belongs to this test process alone:
// the same test may run at once in another process (each test on its own and
// the whole program in one process), and neither may see the other's files.
#pragma once

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

inline std::string TestTempPath(const std::string& name) {
    return testing::TempDir() + "corvane_" + std::to_string(getpid()) + "_" + name;
}
