// Matrix4: a 4×4 matrix of 32-bit floats, row-major, multiplied with row vectors
// on the left (v' = v · M), as the device's transforms expect: a world matrix is
// scale × rotation × translation, and a vertex reaches clip space as
// v · World · View · Projection. The builders are left-handed, with depth mapped
// to 0..1 by the projection.
#pragma once

#include "math/vector3.h"

namespace torvane {

struct Matrix4 {
    float m[4][4] = {};

    constexpr bool operator==(const Matrix4&) const = default;
};

Matrix4 matrixIdentity();
Matrix4 matrixScaling(float x, float y, float z);
// Rotation about +y by angle radians: local +z turns towards +x.
Matrix4 matrixRotationY(float angle);
Matrix4 matrixTranslation(float x, float y, float z);
// out = first × second: applying out applies first, then second.
Matrix4 matrixMultiply(const Matrix4& first, const Matrix4& second);
// Left-handed perspective projection; fieldOfView is vertical, in radians.
Matrix4 matrixPerspectiveFovLH(float fieldOfView, float aspectRatio, float nearPlane, float farPlane);
// Left-handed view matrix: eye goes to the origin, lookAt onto +z.
Matrix4 matrixLookAtLH(Vector3 eye, Vector3 lookAt, Vector3 up);
// p · M with w = 1, divided by the resulting w.
Vector3 transformCoord(Vector3 p, const Matrix4& matrix);

} // namespace torvane
