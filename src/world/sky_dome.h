// SkyDome: the sky, a SceneObject drawn first in every frame with the camera's
// rotation only (so it never comes closer), 3 units lower in view space, and
// with depth testing and writing off, so everything drawn after it covers it.
#pragma once

#include "world/scene_object.h"

namespace torvane {

class SkyDome : public SceneObject {
public:
    // Draws the dome around the camera of the current view transform, then
    // restores that view and switches depth testing and writing back on.
    void draw(GraphicsDevice& targetDevice) const;
};

} // namespace torvane
