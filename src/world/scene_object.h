// SceneObject: the base of everything the game draws or collides with: a mesh
// with one material and optional texture per subset, a transform (position, a
// yaw `heading` and a per-axis scale) and a collision footprint, a rectangle in
// the ground plane with a bounding radius for the broad test.
//
// Objects are copied member by member; a copy shares the loader's mesh,
// materials and textures and has its own transform and footprint.
//
// Units: world units, radians. Axes of an object with heading h: forward
// (-sin h, 0, -cos h), its local -z side (the car's front); side (cos h, 0, -sin h).
#pragma once

#include <cstdint>
#include <memory>

#include "math/matrix4.h"
#include "math/vector3.h"
#include "world/footprint.h"

namespace torvane {

class GraphicsDevice;
class Mesh;
class Texture;
struct Material;

class SceneObject {
public:
    // Loads a .x mesh file with its materials and textures through device.
    // Failures are shown in a message box; returns whether the mesh loaded.
    bool loadMesh(GraphicsDevice* device, const char* path);
    // Sets the world transform, then draws each subset with its material and texture.
    void draw() const;
    // Scale, then the rotation by heading about y, then the translation to position.
    Matrix4 worldMatrix() const;

    void setPosition(Vector3 value) { position = value; }
    Vector3 getPosition() const { return position; }
    void setHeading(float radians) { heading = radians; }
    float getHeading() const { return heading; }
    void setScale(float x, float y, float z) { scale = {x, y, z}; }
    Vector3 getScale() const { return scale; }
    void setBoundingRadius(float value) { boundingRadius = value; }
    float getBoundingRadius() const { return boundingRadius; }
    void setFootprintLength(float value) { footprintLength = value; }
    float getFootprintLength() const { return footprintLength; }
    void setFootprintWidth(float value) { footprintWidth = value; }
    float getFootprintWidth() const { return footprintWidth; }

    // The footprint rectangle as position, heading and the two extents place it now.
    Footprint footprint() const;
    // The forward axis of the heading as it stands (math/forward_axis.h), kept
    // from the last call while the heading is the same: the obstacles never
    // turn, and the contact test asks for the car's several times a frame.
    Vector3 forward() const;

    GraphicsDevice* getDevice() const { return device; }
    const Mesh* getMesh() const { return mesh; }
    std::uint32_t getMaterialCount() const { return materialCount; }
    const Material& getMaterial(std::uint32_t subset) const;
    const Texture* getTexture(std::uint32_t subset) const;

protected:
    GraphicsDevice* device = nullptr;
    const Mesh* mesh = nullptr;
    std::shared_ptr<Material[]> materials;       // one per subset
    std::shared_ptr<const Texture*[]> textures;  // one per subset, nullptr where none
    std::uint32_t materialCount = 0;

    Vector3 position{0.0f, 0.0f, 0.0f};
    float heading = 0.0f;
    Vector3 scale{1.0f, 1.0f, 1.0f};

    float boundingRadius = 0.0f;
    float footprintLength = 0.0f; // along local z
    float footprintWidth = 0.0f;  // along local x

private:
    mutable Vector3 forwardAxisKept{0.0f, 0.0f, -1.0f};
    mutable std::uint32_t forwardHeadingBits = 0; // the heading forwardAxisKept belongs to
    mutable bool forwardKnown = false;
};

} // namespace torvane
