// Registration of the maths and miscellaneous built-ins: the fixed order of
// their ids, their argument counts, shared handlers and the external-call
// rows that a Steam workshop run leaves out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/zq_rvalue.h"
#include "error_capture.h"
#include "core/date_time.h"
#include "library/library_builtins.h"
#include "core/timing_source.h"
#include "world/datafile/game_header.h"

namespace {

class Registration : public ::testing::Test {
protected:
    void TearDown() override {
        FINALIZE_Code_Function();
        g_SteamWorkshop = false;
    }

    // The names registered from `first` on.
    static std::vector<std::string> NamesFrom(int first) {
        std::vector<std::string> names;
        for (int i = first; i < the_numb; ++i) names.emplace_back(the_functions[i].f_name);
        return names;
    }
};

TEST_F(Registration, MathRowsInOrderWithCounts) {
    const int first = the_numb;
    InitMathFunctions();
    const auto order = MathFunctions_Order();
    ASSERT_EQ(the_numb - first, 116);
    for (size_t i = 0; i < order.size(); ++i) {
        const RFunction& f = the_functions[first + static_cast<int>(i)];
        SCOPED_TRACE(order[i].name);
        EXPECT_STREQ(f.f_name, order[i].name);
        EXPECT_EQ(f.f_argnumb, order[i].argc);
        EXPECT_NE(f.f_routine, nullptr);
        EXPECT_EQ(Function_Find(order[i].name), first + static_cast<int>(i)) << "each name once";
    }
    // The fixed table, spot by spot.
    const std::vector<std::string> names = NamesFrom(first);
    EXPECT_EQ(names[0], "is_bool");
    EXPECT_EQ(names[12], "array_length_1d");
    EXPECT_EQ(names[26], "random");
    EXPECT_EQ(names[35], "abs");
    EXPECT_EQ(names[74], "real");
    EXPECT_EQ(names[102], "point_distance");
    EXPECT_EQ(names[115], "angle_difference");
    EXPECT_EQ(the_functions[first + 24].f_argnumb, -1) << "array_create takes any number";
    auto routine = [&](const char* name) { return the_functions[Function_Find(name)].f_routine; };
    EXPECT_EQ(routine("randomize"), routine("randomise"));
    EXPECT_EQ(routine("dot_product_normalised"), routine("dot_product_normalized"));
    EXPECT_EQ(routine("dot_product_3d_normalised"), routine("dot_product_3d_normalized"));
    EXPECT_NE(routine("min"), routine("max"));
}

TEST_F(Registration, MiscRowsWithAndWithoutExternalCalls) {
    int first = the_numb;
    InitMiscFunctions();
    ASSERT_EQ(the_numb - first, 96);
    const auto order = MiscFunctions_Order();
    std::vector<std::string> names = NamesFrom(first);
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(names[i], order[i].name);
        EXPECT_EQ(the_functions[first + static_cast<int>(i)].f_argnumb, order[i].argc) << order[i].name;
        EXPECT_NE(the_functions[first + static_cast<int>(i)].f_routine, nullptr) << order[i].name;
    }
    EXPECT_EQ(names[3], "event_perform_object");
    EXPECT_EQ(names[24], "external_call8");
    EXPECT_EQ(names[25], "window_handle");
    EXPECT_EQ(names[95], "game_get_speed");
    FINALIZE_Code_Function();

    g_SteamWorkshop = true;
    first = the_numb;
    InitMiscFunctions();
    ASSERT_EQ(the_numb - first, 75);
    names = NamesFrom(first);
    EXPECT_EQ(names[3], "event_perform_object");
    EXPECT_EQ(names[4], "window_handle");
    EXPECT_EQ(Function_Find("external_call"), -1);
    EXPECT_EQ(names[74], "game_get_speed");
}

// Every handler a family offers is registered by one of the two orders.
TEST_F(Registration, EveryFamilyRowIsInAnOrder) {
    std::vector<std::string> ordered;
    for (const LibraryOrderRow& row : MathFunctions_Order()) ordered.emplace_back(row.name);
    for (const LibraryOrderRow& row : MiscFunctions_Order()) ordered.emplace_back(row.name);
    for (auto family : {MathBuiltins, StringBuiltins, ArrayBuiltins, RandomBuiltins, EventBuiltins,
                        DateBuiltins, ExternalBuiltins, PlatformBuiltins, VMBuiltins})
        for (const LibraryBuiltinRow& row : family())
            EXPECT_NE(std::find(ordered.begin(), ordered.end(), row.name), ordered.end()) << row.name;
    EXPECT_EQ(LibraryBuiltin_Find("no_such_builtin"), nullptr);
}

// A call with fewer arguments than a built-in declares (compiled code is
// trusted, but nothing checks the count at run time) reads nothing past the
// vector: missing arguments read as undefined and the getters report them.
TEST_F(Registration, EveryBuiltinSurvivesACallWithoutArguments) {
    ErrorCapture errors;
    const double savedEpsilon = g_VTLMathEpsilon;
    const double savedRate = g_GameTimer.GetFrameRate();
    for (auto order : {MathFunctions_Order(), MiscFunctions_Order()})
        for (const LibraryOrderRow& row : order) {
            SCOPED_TRACE(row.name);
            RFunction entry{};
            std::snprintf(entry.f_name, sizeof entry.f_name, "%s", row.name);
            ZQRValue result;
            ZQBuiltinCall call(&entry, nullptr, 0);
            LibraryBuiltin_Find(row.name)(result, nullptr, nullptr, 0, nullptr);
        }
    g_VTLMathEpsilon = savedEpsilon;
    g_GameTimer.SetFrameRate(savedRate);
    g_bLocalTime = true;
}

} // namespace
