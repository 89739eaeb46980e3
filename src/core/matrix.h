// The runtime's 4 × 4 matrix: 16 floats in row-vector order (a point is the
// row (x, y, z, 1) times the matrix; elements 12, 13, 14 hold the
// translation; element 4r + c is row r, column c). A × B applies A first.
#pragma once

struct zqVector3 {
    float x, y, z;
};

struct zqMatrix {
    float m[16];

    static zqMatrix Identity();
    // out = a × b; out may not alias a or b.
    static void Multiply(zqMatrix* out, const zqMatrix* a, const zqMatrix* b);
    // Left-handed view matrix looking from eye at `at` with `up` (a zero
    // direction normalises to zero rather than to not-a-number).
    static void LookAtLH(zqMatrix* out, const zqVector3* eye, const zqVector3* at, const zqVector3* up);
    // Left-handed orthographic and perspective projections; the identity when
    // w or h is 0 or zn equals zf (a negative h flips the y axis).
    static void OrthoLH(zqMatrix* out, float w, float h, float zn, float zf);
    static void PerspectiveLH(zqMatrix* out, float w, float h, float zn, float zf);
    // Perspective from a vertical field of view in radians; the identity when
    // the field of view or the aspect is 0 or zn equals zf.
    static void PerspectiveFovLH(zqMatrix* out, float fovy, float aspect, float zn, float zf);
    // Rotations about the axes, angles in degrees.
    static void SetXRotation(zqMatrix* out, float degrees);
    static void SetYRotation(zqMatrix* out, float degrees);
    static void SetZRotation(zqMatrix* out, float degrees);
    // Rotation about `axis`, which is normalised in place (a zero axis stays
    // zero, giving a uniform scale by the cosine rather than not-a-number).
    // CreateRotationAxis((1, 0, 0), -a) equals SetXRotation(a), likewise Y and Z.
    static void CreateRotationAxis(zqMatrix* out, zqVector3* axis, float degrees);
    // Inverts in place by cofactors; false, with the matrix unchanged, when
    // the determinant is 0 or not a number.
    bool Invert();
};
