// Maths and geometry built-ins: single-precision results with their snaps,
// the exact edge cases of directions and length-directions, aggregates that
// return the chosen argument itself, and the domain errors.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "error_capture.h"
#include "builtin_call.h"
#include "core/error.h"
#include "library/math_builtins.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Real(const char* name, std::vector<ZQRValue> args) {
    ZQRValue r = CallBuiltin(name, std::move(args));
    EXPECT_EQ(r.Kind(), VALUE_REAL) << name;
    return r.val;
}

TEST(MathBuiltins, PointDirectionIsClockwiseFromTheRight) {
    struct Case {
        float x2, y2;
        double expected;
        bool negativeZero;
    };
    const Case cases[] = {
        {10, 0, 0.0, true}, {0, -10, 90.0, false},  {0, 10, 270.0, false},   {-10, 0, 180.0, false},
        {0, 0, 0.0, false}, {10, -10, 45.0, false}, {-10, 10, 225.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "to " << c.x2 << "," << c.y2);
        double d = Real("point_direction",
                        {0.0, 0.0, ZQRValue(static_cast<double>(c.x2)), ZQRValue(static_cast<double>(c.y2))});
        EXPECT_FLOAT_EQ(d, c.expected);
        EXPECT_EQ(std::signbit(d), c.negativeZero);
        EXPECT_EQ(std::signbit(ZQVTL_point_direction(0, 0, c.x2, c.y2)), c.negativeZero);
    }
}

TEST(MathBuiltins, LengthDirSnapsJustBeyondWholeNumbers) {
    double x90 = Real("lengthdir_x", {10.0, 90.0});
    EXPECT_EQ(x90, 0.0);
    EXPECT_TRUE(std::signbit(x90)) << "-4.4e-7 snaps to its integer part, negative zero";
    EXPECT_EQ(static_cast<float>(Real("lengthdir_x", {10.0, 60.0})), 4.9999995f)
        << "0.9999995 is not snapped";
    EXPECT_EQ(Real("lengthdir_y", {10.0, 30.0}), -5.0);
    EXPECT_EQ(Real("lengthdir_y", {10.0, 90.0}), -10.0);
    EXPECT_EQ(ZQVTL_lengthdir_x(10.0f, 60.0f), 4.9999995f);
    EXPECT_EQ(ZQVTL_lengthdir_y(10.0f, 30.0f), -5.0f);
}

TEST(MathBuiltins, TrigonometryInSinglePrecisionWithSnap) {
    EXPECT_EQ(Real("sin", {M_PI}), 0.0);
    EXPECT_EQ(Real("sin", {0.000005}), 0.0);
    EXPECT_EQ(Real("cos", {M_PI / 2}), 0.0);
    EXPECT_EQ(Real("dsin", {180.0}), 0.0);
    EXPECT_EQ(Real("dcos", {60.0}), static_cast<double>(std::cos(60.0f * 0.0174532924f)));
    EXPECT_EQ(Real("darctan2", {1.0, 1.0}), static_cast<double>(std::atan2(1.0f, 1.0f) * 57.2957764f));
    EXPECT_EQ(Real("darccos", {0.0}), static_cast<double>(std::acos(0.0f) * 57.2957764f));
    EXPECT_EQ(ZQVTL_sins(0.00002), std::sin(0.00002)) << "the direct sine is double precision";
    EXPECT_EQ(ZQVTL_sins(0.000005), 0.0);
    EXPECT_EQ(ZQVTL_cos(M_PI / 2), 0.0);
    EXPECT_EQ(std::bit_cast<uint32_t>(0.0174532924f), 0x3C8EFA35u);
    EXPECT_EQ(std::bit_cast<uint32_t>(57.2957764f), 0x42652EE0u);
    EXPECT_EQ(Real("degtorad", {180.0}), 180.0 * 0.017453293005625408);
    EXPECT_EQ(ZQVTL_degtorad(180.0), 180.0 * 0.017453293005625408);
    EXPECT_EQ(Real("radtodeg", {1.0}), 57.29577791868205);
}

TEST(MathBuiltins, ElementaryFunctions) {
    struct Case {
        const char* name;
        std::vector<double> args;
        double expected;
    };
    const Case cases[] = {
        {"round", {2.5}, 2.0},
        {"round", {-2.5}, -2.0},
        {"round", {3.5}, 4.0},
        {"round", {3e9}, 3e9},
        {"abs", {-3.0}, 3.0},
        {"sign", {-0.5}, -1.0},
        {"sign", {0.0}, 0.0},
        {"sign", {kNaN}, 1.0},
        {"frac", {-1.25}, -0.25},
        {"floor", {-1.5}, -2.0},
        {"ceil", {1.2}, 2.0},
        {"sqr", {3.0}, 9.0},
        {"log2", {8.0}, 3.0},
        {"logn", {10.0, 1000.0}, std::log(1000.0) / std::log(10.0)},
        {"power", {2.0, 10.0}, 1024.0},
        {"clamp", {5.0, 10.0, 0.0}, 0.0},
        {"clamp", {5.0, 0.0, 10.0}, 5.0},
        {"clamp", {-1.0, 0.0, 10.0}, 0.0},
        {"lerp", {10.0, 20.0, 0.25}, 12.5},
        {"mean", {1.0, 2.0, 6.0}, 3.0},
        {"mean", {}, 0.0},
        {"median", {5.0, 1.0, 4.0, 2.0}, 4.0},
        {"median", {3.0}, 3.0},
        {"median", {}, 0.0},
        // NaN sorts after every number: the order stays well defined.
        {"median", {kNaN, 1.0, 2.0}, 2.0},
        {"median", {2.0, kNaN, 1.0, kNaN, 0.0}, 2.0},
        {"angle_difference", {10.0, 350.0}, 20.0},
        {"angle_difference", {350.0, 10.0}, -20.0},
        {"angle_difference", {180.0, 0.0}, -180.0},
        {"point_distance", {0.0, 0.0, 3.0, 4.0}, 5.0},
        {"point_distance_3d", {1.0, 1.0, 1.0, 1.0, 1.0, 1.0}, 0.0},
        {"dot_product", {1.0, 2.0, 3.0, 4.0}, 11.0},
        {"dot_product_3d", {1.0, 2.0, 3.0, 4.0, 5.0, 6.0}, 32.0},
        {"dot_product_normalised", {2.0, 0.0, 0.0, 5.0}, 0.0},
        {"dot_product_normalized", {2.0, 0.0, 3.0, 0.0}, 1.0},
        {"dot_product_3d_normalized", {0.0, 0.0, 2.0, 0.0, 0.0, -1.0}, -1.0},
    };
    for (const Case& c : cases) {
        std::vector<ZQRValue> args(c.args.begin(), c.args.end());
        SCOPED_TRACE(testing::Message() << c.name << " of " << c.args.size() << " arguments");
        EXPECT_DOUBLE_EQ(Real(c.name, std::move(args)), c.expected);
    }
    EXPECT_TRUE(std::isnan(Real("median", {1.0, kNaN}))) << "the upper middle of two";
    EXPECT_TRUE(std::isnan(Real("dot_product_normalised", {0.0, 0.0, 1.0, 0.0})));
}

TEST(MathBuiltins, MinAndMaxReturnTheArgumentItself) {
    ZQRValue m = CallBuiltin("min", {3.0, ZQRValue("2")});
    EXPECT_EQ(Text(m), "2");
    ZQRValue i = CallBuiltin("max", {ZQRValue::FromInt32(7), 5.0});
    EXPECT_EQ(i.Kind(), VALUE_INT32);
    EXPECT_EQ(CallBuiltin("max").val, 0.0);
    EXPECT_EQ(CallBuiltin("min", {1.0, 1.0, ZQRValue("1")}).Kind(), VALUE_REAL) << "ties keep the earliest";
    EXPECT_TRUE(std::isnan(CallBuiltin("min", {1.0, kNaN}).val)) << "min takes a NaN";
    EXPECT_EQ(CallBuiltin("max", {1.0, kNaN}).val, 1.0) << "max never does";
    EXPECT_EQ(CallBuiltin("min3", {4.0, 2.0, 3.0}).val, 2.0);
    EXPECT_EQ(CallBuiltin("max3", {4.0, 2.0, 9.0}).val, 9.0);

    ZQRValue a(5.0), b("1"), c(3.0);
    ZQRValue* args[] = {&a, &b, &c};
    ZQRValue result("old");
    EXPECT_EQ(Text(ZQVTL_min(result, 3, args)), "1");
    EXPECT_EQ(CallBuiltin("max", {5.0, 1.0, 3.0}).val, 5.0)
        << "compared with the chosen value, not the last one";
    EXPECT_EQ(CallBuiltin("min", {1.0, 5.0, 3.0}).val, 1.0);
    EXPECT_EQ(ZQVTL_max(result, 3, args).val, 5.0);
    EXPECT_EQ(ZQVTL_max(result, 0, args).val, 0.0);
}

TEST(MathBuiltins, DomainErrorsReportAndGiveZero) {
    struct Case {
        const char* name;
        double x;
        const char* message;
    };
    const Case cases[] = {
        {"sqrt", -1.0, "Cannot apply sqrt to negative number."},
        {"sqrt", kNaN, "Cannot apply sqrt to negative number."},
        {"arcsin", 2.0, "Error in function arcsin()."},
        {"darcsin", -1.5, "Error in function arcsin()."},
        {"arccos", kNaN, "Error in function arccos()."},
        {"darccos", 1.01, "Error in function arccos()."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ErrorCapture errors; // one each: a shown error ends the game, and later ones wait for that
        EXPECT_EQ(Real(c.name, {c.x}), 0.0);
        EXPECT_TRUE(errors.ShownContains(c.message));
    }
    ErrorCapture errors;
    EXPECT_EQ(Real("sqrt", {16.0}), 4.0);
    EXPECT_EQ(Real("arcsin", {1.0}), static_cast<double>(std::asin(1.0f)));
    EXPECT_TRUE(errors.Shown().empty());
}

TEST(MathBuiltins, EpsilonAcceptsOnlyZeroToOne) {
    double saved = g_VTLMathEpsilon;
    CallBuiltin("math_set_epsilon", {0.0});
    EXPECT_EQ(Real("math_get_epsilon", {}), 1e-11);
    CallBuiltin("math_set_epsilon", {0.5});
    EXPECT_EQ(g_VTLMathEpsilon, 0.5);
    for (double ignored : {1.0, -0.1, kNaN}) CallBuiltin("math_set_epsilon", {ignored});
    EXPECT_EQ(g_VTLMathEpsilon, 0.5);
    EXPECT_TRUE(CallBuiltin("math_set_epsilon", {0.1}).Kind() == VALUE_UNDEFINED);
    g_VTLMathEpsilon = saved;
}

TEST(MathBuiltins, DirectCallsMatchTheBuiltIns) {
    for (double x : {-2.5, 0.0, 7.0, kNaN}) {
        EXPECT_EQ(ZQVTL_abs(x) == Real("abs", {x}), !std::isnan(x));
        EXPECT_EQ(ZQVTL_sign(x), Real("sign", {x}));
    }
}

} // namespace
