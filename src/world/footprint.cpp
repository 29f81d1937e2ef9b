#include "world/footprint.h"

#include "math/forward_axis.h"

namespace torvane {

Footprint makeFootprint(Vector3 centre, float heading, float length, float width)
{
    return makeFootprint(centre, forwardAxis(heading), length, width);
}

Footprint makeFootprint(Vector3 centre, Vector3 forward, float length, float width)
{
    // (a, b) are the signed full extents along local z and local x; the offset is
    // half of them turned by the heading.
    const float along[4] = {length, length, -length, -length};
    const float across[4] = {width, -width, -width, width};
    const float cosPlus = forward.x;  // -sin h
    const float sinMinus = forward.z; // -cos h
    Footprint footprint;
    for (int corner = 0; corner < 4; ++corner) {
        const float a = along[corner];
        const float b = across[corner];
        const float dx = (cosPlus * a - sinMinus * b) / 2.0f;
        const float dz = (sinMinus * a + cosPlus * b) / 2.0f;
        footprint.corners[corner] = centre + Vector3(dx, 0.0f, dz);
    }
    return footprint;
}

} // namespace torvane
