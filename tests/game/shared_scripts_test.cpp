// The game's arithmetic scripts: their value tables, called the way compiled
// code calls them (result value in, argument pointers), and the stack frame
// each one opens.
#include <gtest/gtest.h>

#include <vector>

#include "core/function_table.h"
#include "core/stack_trace.h"
#include "game/game_functions.h"

namespace {

struct ScriptCase {
    const char* name;
    TZQScript script;
    std::vector<double> args;
    double expected;
};

const ScriptCase kCases[] = {
    // A step that would leave the range is refused whole.
    {"soft_clamp", vtl_Script_soft_clamp, {5, 3, 0, 7}, 5},
    {"soft_clamp", vtl_Script_soft_clamp, {5, 2, 0, 7}, 7},
    {"soft_clamp", vtl_Script_soft_clamp, {1, -2, 0, 7}, 1},
    {"soft_clamp", vtl_Script_soft_clamp, {1, -1, 0, 7}, 0},
    {"soft_max", vtl_Script_soft_max, {3.5, 0.2, 4}, 3.7},
    {"soft_max", vtl_Script_soft_max, {3.9, 0.2, 4}, 3.9},
    {"soft_max", vtl_Script_soft_max, {3.8, 0.2, 4}, 4.0}, // within the tolerance of the limit
    {"soft_min", vtl_Script_soft_min, {0.1, -0.2, 0}, 0.1},
    {"soft_min", vtl_Script_soft_min, {0.5, -0.2, 0}, 0.3},
    {"pulse", vtl_Script_pulse, {5, 5, 10}, 1},
    {"pulse", vtl_Script_pulse, {7.5, 5, 10}, 0.5},
    {"pulse", vtl_Script_pulse, {10, 5, 10}, 0},
    {"pulse", vtl_Script_pulse, {4, 5, 10}, 0},
    {"pulse", vtl_Script_pulse, {11, 5, 10}, 0},
    {"init_enums", vtl_Script_init_enums, {}, 0},
};

TEST(SharedScripts, ValueTable) {
    for (const ScriptCase& c : kCases) {
        std::vector<ZQRValue> values(c.args.begin(), c.args.end());
        std::vector<ZQRValue*> pointers;
        for (ZQRValue& v : values) pointers.push_back(&v);
        ZQRValue result("left over"); // released on entry
        ZQRValue& returned =
            c.script(nullptr, nullptr, result, static_cast<int>(pointers.size()), pointers.data());
        EXPECT_EQ(&returned, &result);
        ASSERT_EQ(result.Kind(), VALUE_REAL) << c.name;
        EXPECT_NEAR(result.val, c.expected, 1e-12) << c.name << " case " << (&c - kCases);
        EXPECT_EQ(SZQStackTrace::s_pStart, nullptr) << "the frame is unlinked on return";
    }
}

// An argument the caller did not pass reads as undefined instead of past
// the caller's array; the value operators then report the bad sum.
TEST(SharedScripts, MissingArgumentsAreNotReadPastTheArray) {
    ZQRValue value(2.0);
    ZQRValue* args[] = {&value};
    ZQRValue result;
    vtl_Script_pulse(nullptr, nullptr, result, 1, args);
    EXPECT_EQ(result.Kind(), VALUE_REAL);
}

} // namespace
