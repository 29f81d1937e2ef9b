// Translucent drawing: a scene object drawn see-through over the finished
// opaque scene (the ghost car). Each subset keeps its material and texture,
// with the diffuse alpha replaced by the opacity and multiplied into the
// texel's alpha, and is blended as source alpha over the picture. The depth
// test stays on and depth writes are off, so the object hides behind walls and
// never hides anything drawn after it.
//
// Shortcomings: the subsets are not sorted back to front, so where the object
// overlaps itself the order of its subsets decides the mix.
#pragma once

namespace torvane {

class SceneObject;

// Draws object's mesh at object's transform with opacity (0 invisible .. 1 as
// opaque as its textures), then puts the blend, depth-write and alpha states
// back to the device's defaults. Nothing without a device or a mesh.
void drawTranslucent(const SceneObject& object, float opacity);

} // namespace torvane
