#include "math/vector3.h"

#include "math/float_math.h"

namespace torvane {

float length(Vector3 v)
{
    return sqrtf(v.x * v.x + v.y * v.y + v.z * v.z);
}

void normalize(Vector3& v)
{
    const float len = length(v);
    v.x = v.x / len;
    v.y = v.y / len;
    v.z = v.z / len;
}

} // namespace torvane
