// The 4 × 4 matrix: product order, projections' degenerate sizes, inversion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/matrix.h"

namespace {

zqMatrix Translation(float x, float y, float z) {
    zqMatrix m = zqMatrix::Identity();
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    return m;
}

TEST(Matrix, ProductAppliesTheLeftMatrixFirst) {
    zqMatrix scale = zqMatrix::Identity();
    scale.m[0] = 2.0f;
    zqMatrix move = Translation(3, 0, 0);
    zqMatrix out;
    zqMatrix::Multiply(&out, &scale, &move); // scale, then move: x' = 2x + 3
    EXPECT_EQ(out.m[0], 2.0f);
    EXPECT_EQ(out.m[12], 3.0f);
    zqMatrix::Multiply(&out, &move, &scale); // move, then scale: x' = 2(x + 3)
    EXPECT_EQ(out.m[12], 6.0f);
}

TEST(Matrix, DegenerateProjectionsAreTheIdentity) {
    const zqMatrix identity = zqMatrix::Identity();
    zqMatrix out;
    struct {
        float w, h, zn, zf;
    } const cases[] = {{0, 1, 1, 2}, {1, 0, 1, 2}, {1, 1, 5, 5}};
    for (const auto& c : cases) {
        zqMatrix::OrthoLH(&out, c.w, c.h, c.zn, c.zf);
        EXPECT_EQ(std::memcmp(&out, &identity, sizeof out), 0);
        zqMatrix::PerspectiveLH(&out, c.w, c.h, c.zn, c.zf);
        EXPECT_EQ(std::memcmp(&out, &identity, sizeof out), 0);
    }
    zqMatrix::OrthoLH(&out, 640, -360, 1, 32000);
    EXPECT_FLOAT_EQ(out.m[5], -2.0f / 360.0f) << "a negative height flips y";
    EXPECT_FLOAT_EQ(out.m[14], 1.0f / (1.0f - 32000.0f));
}

TEST(Matrix, LookAtMovesTheEyeToTheOrigin) {
    zqVector3 eye{320, 180, -16000};
    zqVector3 at{320, 180, 0};
    zqVector3 up{0, 1, 0};
    zqMatrix view;
    zqMatrix::LookAtLH(&view, &eye, &at, &up);
    float x = 320 * view.m[0] + 180 * view.m[4] - 16000 * view.m[8] + view.m[12];
    float z = 320 * view.m[2] + 180 * view.m[6] - 16000 * view.m[10] + view.m[14];
    EXPECT_NEAR(x, 0.0f, 1e-3);
    EXPECT_NEAR(z, 0.0f, 1e-3);
    zqMatrix::LookAtLH(&view, &eye, &eye, &up); // no direction: zeros, never NaN
    for (float v : view.m) EXPECT_FALSE(std::isnan(v));
}

TEST(Matrix, InversionUndoesAndRefusesSingularMatrices) {
    zqMatrix m = Translation(5, -7, 2);
    m.m[0] = 4.0f;
    zqMatrix inverse = m;
    ASSERT_TRUE(inverse.Invert());
    zqMatrix product;
    zqMatrix::Multiply(&product, &m, &inverse);
    const zqMatrix identity = zqMatrix::Identity();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product.m[i], identity.m[i], 1e-6) << i;

    zqMatrix zeroRow = Translation(1, 2, 3);
    zeroRow.m[4] = zeroRow.m[5] = zeroRow.m[6] = zeroRow.m[7] = 0.0f;
    zqMatrix before = zeroRow;
    EXPECT_FALSE(zeroRow.Invert());
    EXPECT_EQ(std::memcmp(&zeroRow, &before, sizeof before), 0) << "left unchanged";
    zqMatrix notANumber = zqMatrix::Identity();
    notANumber.m[0] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(notANumber.Invert());
}

TEST(Matrix, RotationsTurnTheAxesTheirOwnWay) {
    zqMatrix m;
    zqMatrix::SetZRotation(&m, 90);
    // The row (1, 0, 0) turns to (0, -1, 0).
    EXPECT_NEAR(m.m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m.m[1], -1.0f, 1e-6f);
    EXPECT_NEAR(m.m[4], 1.0f, 1e-6f);
    EXPECT_EQ(m.m[10], 1.0f);
    zqMatrix::SetXRotation(&m, 90);
    EXPECT_NEAR(m.m[6], -1.0f, 1e-6f);
    EXPECT_NEAR(m.m[9], 1.0f, 1e-6f);
    zqMatrix::SetYRotation(&m, 90);
    EXPECT_NEAR(m.m[2], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[8], -1.0f, 1e-6f);
}

TEST(Matrix, AxisRotationNormalisesItsAxisAndMirrorsThePrincipalRotations) {
    zqVector3 axis{0, 0, 2};
    zqMatrix m;
    zqMatrix::CreateRotationAxis(&m, &axis, 90);
    EXPECT_EQ(axis.z, 1.0f);
    EXPECT_NEAR(m.m[1], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[4], -1.0f, 1e-6f);
    struct Case {
        zqVector3 axis;
        void (*principal)(zqMatrix*, float);
    } cases[] = {{{3, 0, 0}, zqMatrix::SetXRotation},
                 {{0, 1, 0}, zqMatrix::SetYRotation},
                 {{0, 0, 1}, zqMatrix::SetZRotation}};
    for (Case& c : cases) {
        zqMatrix expected, built;
        c.principal(&expected, 30);
        zqMatrix::CreateRotationAxis(&built, &c.axis, -30);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(built.m[i], expected.m[i], 1e-6f) << i;
    }
    // A zero axis stays a number.
    zqVector3 zero{0, 0, 0};
    zqMatrix::CreateRotationAxis(&m, &zero, 30);
    for (float v : m.m) EXPECT_FALSE(std::isnan(v));
}

TEST(Matrix, FieldOfViewPerspective) {
    zqMatrix m;
    zqMatrix::PerspectiveFovLH(&m, 3.14159265f / 2, 2.0f, 1.0f, 11.0f);
    EXPECT_NEAR(m.m[5], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[0], 0.5f, 1e-6f);
    EXPECT_NEAR(m.m[10], 1.1f, 1e-6f);
    EXPECT_NEAR(m.m[14], -1.1f, 1e-6f);
    EXPECT_EQ(m.m[11], 1.0f);
    EXPECT_EQ(m.m[15], 0.0f);
    const float degenerate[][4] = {{0, 1, 1, 10}, {1, 0, 1, 10}, {1, 1, 5, 5}};
    for (const auto& d : degenerate) {
        zqMatrix::PerspectiveFovLH(&m, d[0], d[1], d[2], d[3]);
        const zqMatrix identity = zqMatrix::Identity();
        EXPECT_EQ(std::memcmp(m.m, identity.m, sizeof m.m), 0);
    }
}

// The builders' own figures; normalising goes through a reciprocal square
// root estimate, so the looked-at matrix is compared within a tolerance.
TEST(Matrix, BuildersGiveTheirFigures) {
    zqMatrix m;
    zqMatrix::OrthoLH(&m, 640, 360, 0, 1);
    EXPECT_FLOAT_EQ(m.m[0], 0.003125f);
    EXPECT_FLOAT_EQ(m.m[5], 0.0055555557f);
    EXPECT_FLOAT_EQ(m.m[10], 1.0f);
    EXPECT_EQ(m.m[14], 0.0f);
    zqMatrix::PerspectiveLH(&m, 2, 4, 1, 3);
    EXPECT_FLOAT_EQ(m.m[0], 1.0f);
    EXPECT_FLOAT_EQ(m.m[5], 0.5f);
    EXPECT_FLOAT_EQ(m.m[10], 1.5f);
    EXPECT_FLOAT_EQ(m.m[14], -1.5f);
    EXPECT_EQ(m.m[11], 1.0f);
    EXPECT_EQ(m.m[15], 0.0f);
    const zqVector3 eye{0, 0, -10}, at{0, 0, 0}, up{0, 1, 0};
    zqMatrix::LookAtLH(&m, &eye, &at, &up);
    const zqMatrix identity = zqMatrix::Identity();
    for (int k = 0; k < 16; ++k) {
        const float expected = k == 14 ? 10.0f : identity.m[k];
        EXPECT_NEAR(m.m[k], expected, 1e-5f) << k;
    }
    zqMatrix::SetZRotation(&m, 90);
    EXPECT_NEAR(m.m[0], 0.0f, 1e-6f); // (1, 0, 0, 1) goes to (c, -s, 0, 1)
    EXPECT_NEAR(m.m[1], -1.0f, 1e-6f);
}

} // namespace
