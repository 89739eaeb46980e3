// Type tests, array built-ins (combined indices, writes seen through every
// holder, the fatal messages) and random ranges drawn with a fixed seed.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "builtin_call.h"
#include "core/random.h"
#include "error_capture.h"
#include "library/random_builtins.h"

namespace {

ZQRValue MakeArray(std::initializer_list<double> values) {
    std::vector<ZQRValue> args{static_cast<double>(values.size()), 0.0};
    ZQRValue array = CallBuiltin("array_create", std::move(args));
    int i = 0;
    for (double v : values) CallBuiltin("array_set", {array, static_cast<double>(i++), v});
    return array;
}

TEST(TypeBuiltins, KindTestsCompareTheWholeKindWord) {
    struct Case {
        const char* name;
        ZQRValue value;
        bool expected;
    };
    Case cases[] = {
        {"is_real", 1.0, true},
        {"is_real", Bool(true), false},
        {"is_bool", Bool(false), true},
        {"is_string", ZQRValue("s"), true},
        {"is_undefined", ZQRValue(), true},
        {"is_int64", Int64(1), true},
        {"is_int32", ZQRValue::FromInt32(1), true},
        {"is_int32", 1.0, false},
        {"is_array", MakeArray({1}), true},
        {"is_ptr", 1.0, false},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZQRValue r = CallBuiltin(c.name, {c.value});
        EXPECT_EQ(r.Kind(), VALUE_REAL);
        EXPECT_EQ(r.val, c.expected ? 1.0 : 0.0);
    }
    ZQRValue marked(1.0);
    marked.kind |= 0x01000000u; // a data structure's mark makes the kind word no longer "real"
    EXPECT_EQ(CallBuiltin("is_real", {marked}).val, 0.0);
    EXPECT_EQ(Text(CallBuiltin("typeof", {Int64(5)})), "int64");
    EXPECT_EQ(Text(CallBuiltin("typeof", {2.0})), "number");
    EXPECT_EQ(Text(CallBuiltin("typeof", {Bool(true)})), "bool");
}

TEST(ArrayBuiltins, CreateLengthsAndTheCombinedIndex) {
    ZQRValue three = CallBuiltin("array_create", {3.0});
    ASSERT_EQ(three.Kind(), VALUE_ARRAY);
    EXPECT_EQ(CallBuiltin("array_length_1d", {three}).val, 3.0);
    EXPECT_EQ(CallBuiltin("array_get", {three, 2.0}).val, 0.0);
    EXPECT_EQ(CallBuiltin("array_length_1d", {CallBuiltin("array_create", {0.0})}).val, 0.0);
    ZQRValue filled = CallBuiltin("array_create", {3.0, ZQRValue("x")});
    EXPECT_EQ(Text(CallBuiltin("array_get", {filled, 1.0})), "x");

    // Past 32000 the index runs into the next row.
    ZQRValue big = CallBuiltin("array_create", {40000.0});
    EXPECT_EQ(CallBuiltin("array_height_2d", {big}).val, 2.0);
    EXPECT_EQ(CallBuiltin("array_length_1d", {big}).val, 0.0) << "only index 39999 was written";
    EXPECT_EQ(CallBuiltin("array_length_2d", {big, 1.0}).val, 8000.0);
    ZQRValue bigFilled = CallBuiltin("array_create", {40000.0, 1.0});
    EXPECT_EQ(CallBuiltin("array_length_1d", {bigFilled}).val, 32000.0);
    EXPECT_EQ(CallBuiltin("array_length_2d", {bigFilled, 1.0}).val, 8000.0);

    EXPECT_EQ(CallBuiltin("array_length_1d", {5.0}).val, 0.0);
    EXPECT_EQ(CallBuiltin("array_length_2d", {big, -1.0}).val, 0.0);
    EXPECT_EQ(CallBuiltin("array_length_2d", {big, 2.0}).val, 0.0);
    EXPECT_EQ(CallBuiltin("array_height_2d", {big, 1.0}).val, 0.0) << "exactly one argument";
    EXPECT_EQ(CallBuiltin("array_get", {5.0, 0.0}).Kind(), VALUE_UNDEFINED);
}

TEST(ArrayBuiltins, WritesReachEveryHolderOfTheArray) {
    ZQRValue array = MakeArray({1, 2, 3});
    ZQRValue other = array; // a second variable holding it
    CallBuiltin("array_set", {array, 1.0, 20.0});
    EXPECT_EQ(CallBuiltin("array_get", {other, 1.0}).val, 20.0);
    EXPECT_EQ(CallBuiltin("array_set_pre", {array, 0.0, 10.0}).val, 10.0);
    EXPECT_EQ(CallBuiltin("array_set_post", {array, 0.0, 11.0}).val, 10.0);
    EXPECT_EQ(CallBuiltin("array_get", {other, 0.0}).val, 11.0);
    CallBuiltin("array_set_2D", {array, 1.0, 2.0, 7.0});
    EXPECT_EQ(CallBuiltin("array_get_2D", {other, 1.0, 2.0}).val, 7.0);
    EXPECT_EQ(CallBuiltin("array_get", {other, 32002.0}).val, 7.0);
    EXPECT_EQ(CallBuiltin("array_set_2D_pre", {array, 1.0, 0.0, 5.0}).val, 5.0);
    EXPECT_EQ(CallBuiltin("array_set_2D_post", {array, 1.0, 0.0, 6.0}).val, 5.0);
    EXPECT_EQ(CallBuiltin("array_get_2D", {other, 1.0, 0.0}).val, 6.0);
    // Out of range reads give 0 (array_get_2D) without a message.
    ErrorCapture errors;
    EXPECT_EQ(CallBuiltin("array_get_2D", {array, 5.0, 5.0}).val, 0.0);
    EXPECT_EQ(CallBuiltin("array_get_2D", {array, 70000.0, 0.0}).val, 0.0) << "an index past 32 bits";
    EXPECT_EQ(CallBuiltin("array_get_2D", {5.0, 0.0, 0.0}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(errors.Count(), 0);
    CallBuiltin("array_set", {array, -32001.0, 1.0});
    EXPECT_EQ(CallBuiltin("array_height_2d", {array}).val, 2.0) << "a negative row writes nothing";
}

TEST(ArrayBuiltins, MisuseEndsTheGameWithItsMessage) {
    ErrorCapture errors;
    ZQRValue array = MakeArray({1, 2, 3});
    struct Case {
        const char* name;
        std::vector<ZQRValue> args;
        const char* message;
    };
    Case cases[] = {
        {"array_get", {array, 5.0}, "array_get :: Index [0,5] out of range [1,3]"},
        {"array_get", {array, 64000.0}, "array_get :: Index [2,0] out of range [1,-1]"},
        {"array_get", {array, -2147483648.0}, "array_get :: Index [-67108,-27648] out of range [1,-1]"},
        {"array_set", {5.0, 0.0, 1.0}, "array_set :: argument 0 is not an array"},
        {"array_set", {array, 0.0}, "array_set :: takes 3 arguments"},
        {"array_set_pre", {ZQRValue("s"), 0.0, 1.0}, "array_set :: argument 0 is not an array"},
        {"array_set_post", {5.0, 0.0, 1.0}, "trying to index a variable which is not an array"},
        {"array_set_2D", {5.0, 0.0, 0.0, 1.0}, "array_set_2d :: argument 0 is not an array"},
        {"array_set_2D", {array, 0.0, 0.0}, "array_set_2d :: takes 4 arguments"},
        {"array_equals", {array}, "array_equals :: takes 2 arguments"},
        {"array_equals", {1.0, array}, "array_equals :: argument 0 is not an array"},
        {"array_equals", {array, 1.0}, "array_equals :: argument 1 is not an array"},
        {"array_copy", {array, 0.0, array, 0.0}, "array_copy :: takes 5 arguments"},
        {"array_copy", {1.0, 0.0, array, 0.0, 1.0}, "array_copy :: argument 0 is not an array"},
        {"array_copy", {array, 0.0, 1.0, 0.0, 1.0}, "array_copy :: argument 2 is not an array"},
        {"array_set", {}, "array_set :: takes 3 arguments"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.message);
        errors.Clear();
        CallBuiltin(c.name, std::move(c.args));
        EXPECT_EQ(errors.LastMessage(), c.message);
    }
    EXPECT_EQ(CallBuiltin("array_length_1d", {array}).val, 3.0);
}

TEST(ArrayBuiltins, EqualsAndCopy) {
    ZQRValue nested = MakeArray({1});
    ZQRValue a = MakeArray({1, 2});
    ZQRValue b = MakeArray({1, 2});
    EXPECT_EQ(CallBuiltin("array_equals", {a, b}).Kind(), VALUE_BOOL);
    EXPECT_EQ(CallBuiltin("array_equals", {a, b}).val, 1.0);
    CallBuiltin("array_set", {a, 2.0, nested});
    CallBuiltin("array_set", {b, 2.0, nested});
    EXPECT_EQ(CallBuiltin("array_equals", {a, b}).val, 1.0) << "the same nested array";
    CallBuiltin("array_set", {b, 2.0, MakeArray({1})});
    EXPECT_EQ(CallBuiltin("array_equals", {a, b}).val, 0.0) << "equal but distinct nested arrays";
    EXPECT_EQ(CallBuiltin("array_equals", {MakeArray({1, 2}), MakeArray({1, 2, 3})}).val, 0.0);

    // An overlapping copy to a higher index reads every element before it is overwritten.
    ZQRValue run = MakeArray({1, 2, 3, 4});
    CallBuiltin("array_copy", {run, 1.0, run, 0.0, 3.0});
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(CallBuiltin("array_get", {run, static_cast<double>(i)}).val, i == 0 ? 1 : i);
    ZQRValue into = MakeArray({9});
    CallBuiltin("array_copy", {into, 2.0, run, 2.0, 5.0});
    EXPECT_EQ(CallBuiltin("array_length_1d", {into}).val, 4.0) << "only elements the source has are copied";
    EXPECT_EQ(CallBuiltin("array_get", {into, 3.0}).val, 3.0);
}

TEST(RandomBuiltins, RangesWithAFixedSeed) {
    CallBuiltin("random_set_seed", {1234.0});
    EXPECT_EQ(CallBuiltin("random_get_seed").val, 1234.0);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(CallBuiltin("irandom", {0.0}).val, 0.0);
        double one = CallBuiltin("irandom", {1.0}).val;
        EXPECT_TRUE(one == 0.0 || one == 1.0);
        double negative = CallBuiltin("irandom", {-2.0}).val;
        EXPECT_TRUE(negative >= -2.0 && negative <= 0.0 && negative == std::floor(negative));
        double range = CallBuiltin("irandom_range", {5.0, 3.0}).val;
        EXPECT_TRUE(range == 3.0 || range == 4.0 || range == 5.0);
        double real = CallBuiltin("random_range", {10.0, 0.0}).val;
        EXPECT_TRUE(real >= 0.0 && real < 10.0);
        double r = CallBuiltin("random", {2.0}).val;
        EXPECT_TRUE(r >= 0.0 && r < 2.0);
        int32_t direct = ZQVTL_irandom_range(-3, 3);
        EXPECT_TRUE(direct >= -3 && direct <= 3);
    }
    // All of 3, 4 and 5 turn up.
    bool seen[3] = {};
    for (int i = 0; i < 200; ++i)
        seen[static_cast<int>(CallBuiltin("irandom_range", {3.0, 5.0}).val) - 3] = true;
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST(RandomBuiltins, TheIntegerLimitsAreOrdinaryRanges) {
    InitRandom(7);
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    for (int i = 0; i < 100; ++i) {
        EXPECT_GE(Random_IRandom(kMax), 0);
        EXPECT_LE(Random_IRandom(kMin), 0);
        Random_IRandomRange(kMin, kMax);
        int64_t high = Random_IRandomRange(kMax - 1, kMax);
        EXPECT_TRUE(high == kMax - 1 || high == kMax);
        int64_t low = Random_IRandomRange(kMin, kMin + 1);
        EXPECT_TRUE(low == kMin || low == kMin + 1);
        ZQVTL_irandom_range(INT32_MIN, INT32_MAX);
        EXPECT_GE(ZQVTL_irandom(INT32_MAX), 0);
        EXPECT_LE(ZQVTL_irandom(INT32_MIN), 0);
        EXPECT_EQ(iScript_Random(0), 0);
        int64_t scripted = iScript_Random(-5);
        EXPECT_TRUE(scripted > -5 && scripted <= 0);
    }
    ZQRValue r = CallBuiltin("irandom", {Int64(kMax)});
    EXPECT_GE(r.val, 0.0);
}

TEST(RandomBuiltins, SeedsRepeatAndChooseCopiesAnArgument) {
    CallBuiltin("random_set_seed", {99.0});
    double first[5];
    for (double& v : first) v = CallBuiltin("random", {1.0}).val;
    CallBuiltin("random_set_seed", {99.0});
    for (double v : first) EXPECT_EQ(CallBuiltin("random", {1.0}).val, v);

    // The 63-bit draw: the second draw's low 31 bits above the first.
    InitRandom(5);
    uint64_t low = ZQRandom(), high = ZQRandom();
    InitRandom(5);
    EXPECT_EQ(Random_Draw63(), (high & 0x7FFFFFFFu) << 32 | low);

    ZQRValue chosen = CallBuiltin("choose", {ZQRValue("a"), ZQRValue("b"), ZQRValue("c")});
    EXPECT_TRUE(Text(chosen) == "a" || Text(chosen) == "b" || Text(chosen) == "c");
    EXPECT_EQ(CallBuiltin("choose").val, 0.0);
    ZQRValue x("x");
    ZQRValue* args[] = {&x};
    ZQRValue result(5.0);
    EXPECT_EQ(Text(ZQVTL_choose(result, 1, args)), "x");
    EXPECT_EQ(ZQVTL_choose(result, 0, args).val, 0.0);

    double seed = CallBuiltin("randomize").val;
    EXPECT_EQ(CallBuiltin("random_get_seed").val, seed);
    EXPECT_EQ(CallBuiltin("randomise").Kind(), VALUE_REAL);
    EXPECT_EQ(CallBuiltin("random_use_old_version", {1.0}).val, 0.0);
    CallBuiltin("random_use_old_version", {0.0});
    InitRandom(2101988);
}

} // namespace
