#include "math/matrix4.h"

#include "math/float_math.h"

namespace torvane {

Matrix4 matrixIdentity()
{
    return matrixScaling(1.0f, 1.0f, 1.0f);
}

Matrix4 matrixScaling(float x, float y, float z)
{
    Matrix4 out;
    out.m[0][0] = x;
    out.m[1][1] = y;
    out.m[2][2] = z;
    out.m[3][3] = 1.0f;
    return out;
}

Matrix4 matrixRotationY(float angle)
{
    const float c = cosf(angle);
    const float s = sinf(angle);
    Matrix4 out = matrixIdentity();
    out.m[0][0] = c;
    out.m[0][2] = -s;
    out.m[2][0] = s;
    out.m[2][2] = c;
    return out;
}

Matrix4 matrixTranslation(float x, float y, float z)
{
    Matrix4 out = matrixIdentity();
    out.m[3][0] = x;
    out.m[3][1] = y;
    out.m[3][2] = z;
    return out;
}

Matrix4 matrixMultiply(const Matrix4& first, const Matrix4& second)
{
    Matrix4 out;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += first.m[row][k] * second.m[k][column];
            }
            out.m[row][column] = sum;
        }
    }
    return out;
}

Matrix4 matrixPerspectiveFovLH(float fieldOfView, float aspectRatio, float nearPlane, float farPlane)
{
    const float halfAngle = fieldOfView / 2.0f;
    const float yScale = cosf(halfAngle) / sinf(halfAngle);
    const float depthScale = farPlane / (farPlane - nearPlane);
    Matrix4 out;
    out.m[0][0] = yScale / aspectRatio;
    out.m[1][1] = yScale;
    out.m[2][2] = depthScale;
    out.m[2][3] = 1.0f;
    out.m[3][2] = -nearPlane * depthScale;
    return out;
}

Matrix4 matrixLookAtLH(Vector3 eye, Vector3 lookAt, Vector3 up)
{
    Vector3 zAxis = lookAt - eye;
    normalize(zAxis);
    Vector3 xAxis = cross(up, zAxis);
    normalize(xAxis);
    const Vector3 yAxis = cross(zAxis, xAxis);

    Matrix4 out;
    const Vector3 axes[3] = {xAxis, yAxis, zAxis};
    for (int column = 0; column < 3; ++column) {
        out.m[0][column] = axes[column].x;
        out.m[1][column] = axes[column].y;
        out.m[2][column] = axes[column].z;
        out.m[3][column] = -dot(axes[column], eye);
    }
    out.m[3][3] = 1.0f;
    return out;
}

Vector3 transformCoord(Vector3 p, const Matrix4& matrix)
{
    float result[4];
    for (int column = 0; column < 4; ++column) {
        result[column] = p.x * matrix.m[0][column] + p.y * matrix.m[1][column] + p.z * matrix.m[2][column] +
                         matrix.m[3][column];
    }
    return {result[0] / result[3], result[1] / result[3], result[2] / result[3]};
}

} // namespace torvane
