#include <gtest/gtest.h>

#include <vector>

#include "render/recording_device.h"
#include "world/translucent_drawing.h"
#include "world/scene_object.h"

namespace torvane {
namespace {

// The states in force at each draw.
struct StatesAtDraw : RecordingDevice {
    struct Draw {
        std::uint32_t blend, source, destination, depthTest, depthWrite;
        AlphaOperation alpha;
        Material material;
        const Texture* texture;
    };
    void drawSubset(const Mesh& mesh, std::uint32_t subset) override
    {
        draws.push_back({getRenderState(RenderState::AlphaBlendEnable), getRenderState(RenderState::SrcBlend),
                         getRenderState(RenderState::DestBlend), getRenderState(RenderState::ZEnable),
                         getRenderState(RenderState::ZWriteEnable), getAlphaOperation(), getMaterial(), getTexture()});
        RecordingDevice::drawSubset(mesh, subset);
    }
    std::vector<Draw> draws;
};

TEST(TranslucentDrawing, BlendsEverySubsetByTheOpacityWithoutDepthWritesThenRestoresTheDefaults)
{
    StatesAtDraw device;
    MeshMaterial paint;
    paint.material.diffuse = {0.8f, 0.1f, 0.1f, 1.0f};
    paint.textureFile = "paint.png";
    MeshMaterial glass;
    glass.material.diffuse = {0.2f, 0.2f, 0.3f, 0.5f};
    device.addMeshFile("car.x", {paint, glass});
    device.addTextureFile("paint.png");
    SceneObject car;
    ASSERT_TRUE(car.loadMesh(&device, "car.x"));
    car.setPosition({3.0f, 2.0f, -4.0f});
    car.setHeading(0.5f);

    drawTranslucent(car, 0.4f);

    ASSERT_EQ(device.draws.size(), 2u);
    for (std::uint32_t subset = 0; subset < 2; ++subset) {
        const StatesAtDraw::Draw& draw = device.draws[subset];
        EXPECT_EQ(draw.blend, 1u);
        EXPECT_EQ(draw.source, static_cast<std::uint32_t>(BlendFactor::SrcAlpha));
        EXPECT_EQ(draw.destination, static_cast<std::uint32_t>(BlendFactor::InvSrcAlpha));
        EXPECT_EQ(draw.depthTest, 1u);
        EXPECT_EQ(draw.depthWrite, 0u);
        EXPECT_EQ(draw.alpha, AlphaOperation::Modulate);
        EXPECT_EQ(draw.material.diffuse.a, 0.4f);
        EXPECT_EQ(draw.material.diffuse.r, car.getMaterial(subset).diffuse.r);
        EXPECT_EQ(draw.texture, car.getTexture(subset));
    }
    EXPECT_NE(device.draws[0].texture, nullptr);
    EXPECT_EQ(device.getTransform(TransformState::World), car.worldMatrix());
    EXPECT_EQ(car.getMaterial(0).diffuse.a, 1.0f) << "the object's own materials stay opaque";

    EXPECT_EQ(device.getRenderState(RenderState::AlphaBlendEnable), 0u);
    EXPECT_EQ(device.getRenderState(RenderState::ZWriteEnable), 1u);
    EXPECT_EQ(device.getRenderState(RenderState::SrcBlend), static_cast<std::uint32_t>(BlendFactor::One));
    EXPECT_EQ(device.getRenderState(RenderState::DestBlend), static_cast<std::uint32_t>(BlendFactor::Zero));
    EXPECT_EQ(device.getAlphaOperation(), AlphaOperation::SelectTexture);
}

} // namespace
} // namespace torvane
