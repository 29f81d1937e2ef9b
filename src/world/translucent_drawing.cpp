#include "world/translucent_drawing.h"

#include "render/graphics_device.h"
#include "world/scene_object.h"

namespace torvane {

void drawTranslucent(const SceneObject& object, float opacity)
{
    GraphicsDevice* device = object.getDevice();
    if (device == nullptr || object.getMesh() == nullptr) {
        return;
    }
    device->setRenderState(RenderState::AlphaBlendEnable, 1);
    device->setRenderState(RenderState::SrcBlend, static_cast<std::uint32_t>(BlendFactor::SrcAlpha));
    device->setRenderState(RenderState::DestBlend, static_cast<std::uint32_t>(BlendFactor::InvSrcAlpha));
    device->setRenderState(RenderState::ZWriteEnable, 0);
    device->setAlphaOperation(0, AlphaOperation::Modulate);
    device->setTransform(TransformState::World, object.worldMatrix());
    for (std::uint32_t subset = 0; subset < object.getMaterialCount(); ++subset) {
        Material material = object.getMaterial(subset);
        material.diffuse.a = opacity;
        device->setMaterial(material);
        device->setTexture(0, object.getTexture(subset));
        device->drawSubset(*object.getMesh(), subset);
    }
    device->setAlphaOperation(0, AlphaOperation::SelectTexture);
    device->setRenderState(RenderState::ZWriteEnable, 1);
    device->setRenderState(RenderState::AlphaBlendEnable, 0);
    device->setRenderState(RenderState::SrcBlend, static_cast<std::uint32_t>(BlendFactor::One));
    device->setRenderState(RenderState::DestBlend, static_cast<std::uint32_t>(BlendFactor::Zero));
}

} // namespace torvane
