// Vector3: three 32-bit floats, the world's positions, velocities and directions.
// World frame: y is up, the ground is the x-z plane. Every operation evaluates its
// terms in x, y, z order so results are reproducible bit for bit.
#pragma once

namespace torvane {

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}
};

constexpr Vector3 operator+(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr Vector3 operator-(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr Vector3 operator-(Vector3 a) { return {-a.x, -a.y, -a.z}; }
constexpr Vector3 operator*(float s, Vector3 v) { return {s * v.x, s * v.y, s * v.z}; }
constexpr bool operator==(Vector3 a, Vector3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

constexpr float dot(Vector3 a, Vector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

constexpr Vector3 cross(Vector3 a, Vector3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Euclidean length, sqrt(x² + y² + z²).
float length(Vector3 v);

// Scales v to unit length in place. A zero vector becomes NaN in all three
// components: callers that may pass one must not rely on the result.
void normalize(Vector3& v);

} // namespace torvane
