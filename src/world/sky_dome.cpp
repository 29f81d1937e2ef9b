#include "world/sky_dome.h"

#include "render/graphics_device.h"

namespace torvane {

void SkyDome::draw(GraphicsDevice& targetDevice) const
{
    const Matrix4 view = targetDevice.getTransform(TransformState::View);
    Matrix4 rotationOnly = view;
    rotationOnly.m[3][0] = 0.0f;
    rotationOnly.m[3][1] = -3.0f;
    rotationOnly.m[3][2] = 0.0f;
    targetDevice.setTransform(TransformState::View, rotationOnly);
    targetDevice.setRenderState(RenderState::ZEnable, 0);
    targetDevice.setRenderState(RenderState::ZWriteEnable, 0);

    SceneObject::draw();

    targetDevice.setTransform(TransformState::View, view);
    targetDevice.setRenderState(RenderState::ZEnable, 1);
    targetDevice.setRenderState(RenderState::ZWriteEnable, 1);
}

} // namespace torvane
