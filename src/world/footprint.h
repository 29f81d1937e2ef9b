// Footprint: an object's collision rectangle in the ground plane, centred on its
// position, turned by its heading, at the height of its position. Corners 0 and
// 1 lie on the front (local -z) side, 0 and 3 on the local +x side, and the
// corners run 0, 1, 2, 3 round the rectangle. The object's scale does not enlarge it.
#pragma once

#include <array>

#include "math/vector3.h"

namespace torvane {

struct Footprint {
    std::array<Vector3, 4> corners; // world units
};

// Footprint of full extents length (along local z) and width (along local x),
// world units, centred on centre and turned by heading (radians).
Footprint makeFootprint(Vector3 centre, float heading, float length, float width);
// The same for the forward axis forwardAxis(heading) of that heading, already known.
Footprint makeFootprint(Vector3 centre, Vector3 forward, float length, float width);

} // namespace torvane
