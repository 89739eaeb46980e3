// Maths and geometry built-ins. The float constants are bit-exact: scripts
// compare directions and components with what earlier runs produced.
#include "library/math_builtins.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/arguments.h"
#include "core/error.h"
#include "core/real_to_int.h"
#include "core/zq_rvalue.h"
#include "library/library_builtins.h"

namespace {

constexpr float kDegToRadF = 0.0174532924f; // 0x3C8EFA35
constexpr float kRadToDegF = 57.2957764f;   // 0x42652EE0
constexpr double kDegToRad = 0.017453293005625408;
constexpr double kRadToDeg = 57.29577791868205;
constexpr double kOneOverLn2 = 1.4426950408889634;
constexpr float kSnap = 1e-5f;
constexpr float kLengthDirSnap = 1e-4f;

float Snap(float r) {
    return std::fabs(r) < kSnap ? 0.0f : r;
}

void SetReal(RValue& result, double v) {
    ZQSetResultReal(result, v);
}

// Only values just beyond a whole number (away from zero) snap to it.
float LengthDirSnap(float c) {
    float i = std::trunc(c);
    float f = c - i;
    return std::fabs(f) < kLengthDirSnap ? i : c;
}

// min and max over values: the result is a copy of the chosen argument
// itself, and pick is the chosen argument's number. min takes an argument
// whenever `pick <= v` is false (so a NaN replaces); max only when `pick < v`
// holds; ties keep the earliest.
template <bool kMax, class Get>
void PickExtreme(RValue& result, int argc, Get get) {
    if (argc <= 0) {
        SetReal(result, 0.0);
        return;
    }
    const RValue* chosen = get(0);
    double pick = REAL_RValue(chosen);
    for (int i = 1; i < argc; ++i) {
        const RValue* candidate = get(i);
        double v = REAL_RValue(candidate);
        bool take = kMax ? pick < v : !(pick <= v);
        if (take) {
            chosen = candidate;
            pick = v;
        }
    }
    RValue copy;
    COPY_RValue(&copy, chosen);
    FREE_RValue(&result);
    RValue_MoveInto(&result, &copy);
}

void F_Abs(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, std::fabs(ZQGetReal(a, 0)));
}
// Rounds half to even. Within the 32-bit range the result is that integer;
// beyond it the rounded real itself (a script rounding 3e9 gets 3e9).
void F_Round(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double x = ZQGetReal(a, 0);
    double rounded = std::nearbyint(x);
    if (rounded >= -2147483648.0 && rounded <= 2147483647.0)
        SetReal(r, RealRoundToInt32(x));
    else
        SetReal(r, rounded);
}
void F_Floor(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, std::floor(ZQGetReal(a, 0)));
}
void F_Ceil(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, std::ceil(ZQGetReal(a, 0)));
}
void F_Sign(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, ZQVTL_sign(ZQGetReal(a, 0)));
}
void F_Frac(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double whole;
    SetReal(r, std::modf(ZQGetReal(a, 0), &whole));
}
void F_Sqrt(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double x = ZQGetReal(a, 0);
    if (x < 0.0 || std::isnan(x)) {
        Error_Show_Action("Cannot apply sqrt to negative number.", false);
        SetReal(r, 0.0);
        return;
    }
    SetReal(r, std::sqrt(x));
}
void F_Sqr(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double x = ZQGetReal(a, 0);
    SetReal(r, x * x);
}
void F_Exp(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, std::exp(ZQGetReal(a, 0)));
}
void F_Ln(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, std::log(ZQGetReal(a, 0)));
}
void F_Log2(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, std::log(ZQGetReal(a, 0)) * kOneOverLn2);
}
void F_Log10(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, std::log10(ZQGetReal(a, 0)));
}
void F_Power(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double x = ZQGetReal(a, 0);
    SetReal(r, std::pow(x, ZQGetReal(a, 1)));
}
void F_LogN(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double n = ZQGetReal(a, 0);
    SetReal(r, std::log(ZQGetReal(a, 1)) / std::log(n));
}

void F_Sin(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Snap(std::sin(ZQGetFloat(a, 0))));
}
void F_Cos(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Snap(std::cos(ZQGetFloat(a, 0))));
}
void F_Tan(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Snap(std::tan(ZQGetFloat(a, 0))));
}
void F_DSin(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Snap(std::sin(ZQGetFloat(a, 0) * kDegToRadF)));
}
void F_DCos(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Snap(std::cos(ZQGetFloat(a, 0) * kDegToRadF)));
}
void F_DTan(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Snap(std::tan(ZQGetFloat(a, 0) * kDegToRadF)));
}

// The arc functions' domain check: outside [-1, 1] or NaN reports and gives 0.
bool ArcArgument(const RValue* a, const char* message, float* x) {
    *x = ZQGetFloat(a, 0);
    if (*x < -1.0f || *x > 1.0f || std::isnan(*x)) {
        Error_Show_Action(message, false);
        return false;
    }
    return true;
}
void F_ArcSin(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float x;
    SetReal(r, ArcArgument(a, "Error in function arcsin().", &x) ? Snap(std::asin(x)) : 0.0f);
}
void F_ArcCos(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float x;
    SetReal(r, ArcArgument(a, "Error in function arccos().", &x) ? Snap(std::acos(x)) : 0.0f);
}
void F_DArcSin(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float x;
    SetReal(r, ArcArgument(a, "Error in function arcsin().", &x) ? Snap(std::asin(x) * kRadToDegF) : 0.0f);
}
void F_DArcCos(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float x;
    SetReal(r, ArcArgument(a, "Error in function arccos().", &x) ? Snap(std::acos(x) * kRadToDegF) : 0.0f);
}
void F_ArcTan(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Snap(std::atan(ZQGetFloat(a, 0))));
}
void F_DArcTan(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Snap(std::atan(ZQGetFloat(a, 0)) * kRadToDegF));
}
void F_ArcTan2(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float y = ZQGetFloat(a, 0);
    SetReal(r, Snap(std::atan2(y, ZQGetFloat(a, 1))));
}
void F_DArcTan2(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float y = ZQGetFloat(a, 0);
    SetReal(r, Snap(std::atan2(y, ZQGetFloat(a, 1)) * kRadToDegF));
}
void F_DegToRad(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, ZQGetReal(a, 0) * kDegToRad);
}
void F_RadToDeg(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, ZQGetReal(a, 0) * kRadToDeg);
}

void F_Min(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    PickExtreme<false>(r, argc, [a](int i) { return static_cast<const RValue*>(&a[i]); });
}
void F_Max(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    PickExtreme<true>(r, argc, [a](int i) { return static_cast<const RValue*>(&a[i]); });
}
void F_Min3(RValue& r, CInstance* self, CInstance* other, int argc, RValue* a) {
    F_Min(r, self, other, argc, a);
}
void F_Max3(RValue& r, CInstance* self, CInstance* other, int argc, RValue* a) {
    F_Max(r, self, other, argc, a);
}
void F_Mean(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc <= 0) {
        SetReal(r, 0.0);
        return;
    }
    double sum = 0.0;
    for (int i = 0; i < argc; ++i) sum += ZQGetReal(a, i);
    SetReal(r, sum / argc);
}
// The upper middle of the sorted values. NaN sorts after every number so that
// the ordering stays strict and weak (a comparison that called NaN equal to
// everything would let the sort run out of bounds).
void F_Median(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc <= 0) {
        SetReal(r, 0.0);
        return;
    }
    std::vector<double> values(static_cast<size_t>(argc));
    for (int i = 0; i < argc; ++i) values[static_cast<size_t>(i)] = ZQGetReal(a, i);
    auto less = [](double x, double y) { return x < y || (!std::isnan(x) && std::isnan(y)); };
    auto middle = values.begin() + argc / 2;
    std::nth_element(values.begin(), middle, values.end(), less);
    SetReal(r, *middle);
}
void F_Clamp(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double x = ZQGetReal(a, 0);
    double low = ZQGetReal(a, 1);
    double high = ZQGetReal(a, 2);
    double t = low > x ? low : x;
    SetReal(r, !(t < high) ? high : t);
}
void F_Lerp(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double from = ZQGetReal(a, 0);
    double to = ZQGetReal(a, 1);
    SetReal(r, (to - from) * ZQGetReal(a, 2) + from);
}
void F_MathGetEpsilon(RValue& r, CInstance*, CInstance*, int, RValue*) {
    SetReal(r, g_VTLMathEpsilon);
}

void F_PointDistance(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float dx = ZQGetFloat(a, 2) - ZQGetFloat(a, 0);
    float dy = ZQGetFloat(a, 3) - ZQGetFloat(a, 1);
    SetReal(r, std::sqrt(dx * dx + dy * dy));
}
void F_PointDistance_3D(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float dx = ZQGetFloat(a, 3) - ZQGetFloat(a, 0);
    float dy = ZQGetFloat(a, 4) - ZQGetFloat(a, 1);
    float dz = ZQGetFloat(a, 5) - ZQGetFloat(a, 2);
    SetReal(r, std::sqrt(dx * dx + dy * dy + dz * dz));
}
void F_PointDirection(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Math_PointDirection(ZQGetFloat(a, 0), ZQGetFloat(a, 1), ZQGetFloat(a, 2), ZQGetFloat(a, 3)));
}
void F_LengthDirX(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Math_LengthDirX(ZQGetFloat(a, 0), ZQGetFloat(a, 1)));
}
void F_LengthDirY(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, Math_LengthDirY(ZQGetFloat(a, 0), ZQGetFloat(a, 1)));
}
// ((a - b) mod 360 + 540) mod 360 - 180, the remainders taking the sign of
// their dividends: a result in [-180, 180).
void F_MathAngleDifference(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float from = ZQGetFloat(a, 0);
    float to = ZQGetFloat(a, 1);
    float d = std::fmod(std::fmod(from - to, 360.0f) + 540.0f, 360.0f) - 180.0f;
    SetReal(r, d);
}
void F_DotProduct(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, ZQGetReal(a, 0) * ZQGetReal(a, 2) + ZQGetReal(a, 1) * ZQGetReal(a, 3));
}
void F_DotProduct_3D(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, ZQGetReal(a, 0) * ZQGetReal(a, 3) + ZQGetReal(a, 1) * ZQGetReal(a, 4) +
                   ZQGetReal(a, 2) * ZQGetReal(a, 5));
}
void F_DotProduct_Normalised(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float x1 = ZQGetFloat(a, 0), y1 = ZQGetFloat(a, 1), x2 = ZQGetFloat(a, 2), y2 = ZQGetFloat(a, 3);
    float lengths = std::sqrt(x1 * x1 + y1 * y1) * std::sqrt(x2 * x2 + y2 * y2);
    SetReal(r, (x1 * x2 + y1 * y2) / lengths);
}
void F_DotProduct_3D_Normalised(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    float x1 = ZQGetFloat(a, 0), y1 = ZQGetFloat(a, 1), z1 = ZQGetFloat(a, 2);
    float x2 = ZQGetFloat(a, 3), y2 = ZQGetFloat(a, 4), z2 = ZQGetFloat(a, 5);
    float lengths = std::sqrt(x1 * x1 + y1 * y1 + z1 * z1) * std::sqrt(x2 * x2 + y2 * y2 + z2 * z2);
    SetReal(r, (x1 * x2 + y1 * y2 + z1 * z2) / lengths);
}

const LibraryBuiltinRow kMath[] = {
    {"abs", F_Abs},
    {"round", F_Round},
    {"floor", F_Floor},
    {"ceil", F_Ceil},
    {"sign", F_Sign},
    {"frac", F_Frac},
    {"sqrt", F_Sqrt},
    {"sqr", F_Sqr},
    {"exp", F_Exp},
    {"ln", F_Ln},
    {"log2", F_Log2},
    {"log10", F_Log10},
    {"sin", F_Sin},
    {"cos", F_Cos},
    {"tan", F_Tan},
    {"arcsin", F_ArcSin},
    {"arccos", F_ArcCos},
    {"arctan", F_ArcTan},
    {"arctan2", F_ArcTan2},
    {"dsin", F_DSin},
    {"dcos", F_DCos},
    {"dtan", F_DTan},
    {"darcsin", F_DArcSin},
    {"darccos", F_DArcCos},
    {"darctan", F_DArcTan},
    {"darctan2", F_DArcTan2},
    {"degtorad", F_DegToRad},
    {"radtodeg", F_RadToDeg},
    {"power", F_Power},
    {"logn", F_LogN},
    {"min", F_Min},
    {"max", F_Max},
    {"min3", F_Min3},
    {"max3", F_Max3},
    {"mean", F_Mean},
    {"median", F_Median},
    {"clamp", F_Clamp},
    {"lerp", F_Lerp},
    {"point_distance", F_PointDistance},
    {"point_direction", F_PointDirection},
    {"lengthdir_x", F_LengthDirX},
    {"lengthdir_y", F_LengthDirY},
    {"point_distance_3d", F_PointDistance_3D},
    {"dot_product", F_DotProduct},
    {"dot_product_normalised", F_DotProduct_Normalised},
    {"dot_product_normalized", F_DotProduct_Normalised},
    {"dot_product_3d", F_DotProduct_3D},
    {"dot_product_3d_normalised", F_DotProduct_3D_Normalised},
    {"dot_product_3d_normalized", F_DotProduct_3D_Normalised},
    {"math_set_epsilon", F_MathSetEpsilon},
    {"math_get_epsilon", F_MathGetEpsilon},
    {"angle_difference", F_MathAngleDifference},
};

} // namespace

void F_MathSetEpsilon(RValue&, CInstance*, CInstance*, int, RValue* args) {
    double epsilon = ZQGetReal(args, 0);
    if (!(epsilon >= 0.0 && epsilon < 1.0)) return; // NaN fails both tests
    if (epsilon == 0.0) epsilon = 1e-11;
    g_VTLMathEpsilon = epsilon;
    if (g_pSetLLVMVar != nullptr) g_pSetLLVMVar(1, &g_VTLMathEpsilon);
}

// Screen y grows downwards: straight above is 90, below 270, and straight to
// the right negative zero.
float Math_PointDirection(float x1, float y1, float x2, float y2) {
    float dx = x2 - x1;
    float dy = y2 - y1;
    if (dx == 0.0f || std::isnan(dx)) {
        if (dy > 0.0f) return 270.0f;
        if (dy < 0.0f) return 90.0f;
        return 0.0f;
    }
    float angle = std::atan2(dy, dx) * kRadToDegF;
    return angle > 0.0f ? 360.0f - angle : -0.0f - angle;
}

float Math_LengthDirX(float length, float direction) {
    return LengthDirSnap(std::cos(direction * kDegToRadF) * length);
}

float Math_LengthDirY(float length, float direction) {
    return LengthDirSnap(std::sin(direction * -kDegToRadF) * length);
}

double ZQVTL_abs(double x) {
    return std::fabs(x);
}
double ZQVTL_sign(double x) {
    if (x < 0.0) return -1.0;
    if (x == 0.0) return 0.0;
    return 1.0;
}
double ZQVTL_degtorad(double x) {
    return x * kDegToRad;
}
double ZQVTL_sins(double x) {
    double s = std::sin(x);
    return std::fabs(s) < kSnap ? 0.0 : s;
}
double ZQVTL_cos(double x) {
    double c = std::cos(x);
    return std::fabs(c) < kSnap ? 0.0 : c;
}
ZQRValue& ZQVTL_min(ZQRValue& result, int argc, ZQRValue** args) {
    PickExtreme<false>(result, argc, [args](int i) { return static_cast<const RValue*>(args[i]); });
    return result;
}
ZQRValue& ZQVTL_max(ZQRValue& result, int argc, ZQRValue** args) {
    PickExtreme<true>(result, argc, [args](int i) { return static_cast<const RValue*>(args[i]); });
    return result;
}
float ZQVTL_point_direction(float x1, float y1, float x2, float y2) {
    return Math_PointDirection(x1, y1, x2, y2);
}
float ZQVTL_lengthdir_x(float length, float direction) {
    return Math_LengthDirX(length, direction);
}
float ZQVTL_lengthdir_y(float length, float direction) {
    return Math_LengthDirY(length, direction);
}

std::span<const LibraryBuiltinRow> MathBuiltins() {
    return kMath;
}
