#include "module_state.h"

#include <gtest/gtest.h>

#include "core/console.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/run_state.h"
#include "world/code_binding.h"
#include "world/game_header.h"
#include "world/instance_life.h"

void ResetModuleState() {
    Console_Reset();
    Error_Reset();
    RunState_Reset();
    Function_Reset();
    Header_Reset();
    Code_UnbindGameData();
    InstanceLife_Reset();
}

namespace {

class ModuleStateListener final : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { ResetModuleState(); }
};

// Registers the listener before main runs the tests; the listener list owns it.
const bool g_registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ModuleStateListener);
    return true;
}();

} // namespace

// Named by the test programs' link line, so that this file is linked into
// each of them although nothing else refers to it.
extern "C" const bool corvane_module_state_listener = g_registered;
