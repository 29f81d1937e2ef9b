// The sky dome and translucent objects: the states each draws with, and the
// defaults each leaves behind.
#include <gtest/gtest.h>

#include <vector>

#include "render/recording_device.h"
#include "world/scene_object.h"
#include "world/sky_dome.h"
#include "world/translucent_drawing.h"

namespace torvane {
namespace {

// The states in force at each draw.
struct StatesAtDraw : RecordingDevice {
    struct Draw {
        std::uint32_t blend, source, destination, depthTest, depthWrite;
        AlphaOperation alpha;
        Material material;
        const Texture* texture;
        Matrix4 view;

        bool operator==(const Draw&) const = default;
    };
    void drawSubset(const Mesh& mesh, std::uint32_t subset) override
    {
        draws.push_back({getRenderState(RenderState::AlphaBlendEnable), getRenderState(RenderState::SrcBlend),
                         getRenderState(RenderState::DestBlend), getRenderState(RenderState::ZEnable),
                         getRenderState(RenderState::ZWriteEnable), getAlphaOperation(), getMaterial(), getTexture(),
                         getTransform(TransformState::View)});
        RecordingDevice::drawSubset(mesh, subset);
    }
    std::vector<Draw> draws;
};

TEST(SkyDome, DrawsWithTheCamerasRotationOnlyAndNoDepthThenRestores)
{
    StatesAtDraw device;
    device.addMeshFile("sky.x", {MeshMaterial{}});
    SkyDome sky;
    sky.loadMesh(&device, "sky.x");
    const Matrix4 view = matrixLookAtLH({40.0f, 25.0f, -60.0f}, {0.0f, 2.0f, 2.0f}, {0.0f, 0.1f, 0.0f});
    device.setTransform(TransformState::View, view);

    sky.draw(device);

    Matrix4 centred = view;
    centred.m[3][0] = 0.0f;
    centred.m[3][1] = -3.0f;
    centred.m[3][2] = 0.0f;
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].view, centred);
    EXPECT_EQ(device.draws[0].depthTest, 0u);
    EXPECT_EQ(device.draws[0].depthWrite, 0u);
    EXPECT_EQ(device.getTransform(TransformState::View), view);
    EXPECT_EQ(device.getRenderState(RenderState::ZEnable), 1u);
    EXPECT_EQ(device.getRenderState(RenderState::ZWriteEnable), 1u);
}

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
        Material faded = car.getMaterial(subset);
        faded.diffuse.a = 0.4f;
        const StatesAtDraw::Draw blended{1u, static_cast<std::uint32_t>(BlendFactor::SrcAlpha),
                                         static_cast<std::uint32_t>(BlendFactor::InvSrcAlpha), 1u, 0u,
                                         AlphaOperation::Modulate, faded, car.getTexture(subset),
                                         device.getTransform(TransformState::View)};
        EXPECT_TRUE(device.draws[subset] == blended) << subset;
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
