#include <gtest/gtest.h>

#include "render/recording_device.h"
#include "world/sky_dome.h"

namespace torvane {
namespace {

// Remembers the view and depth states in force when the dome is drawn.
struct StateAtDraw : RecordingDevice {
    void drawSubset(const Mesh& mesh, std::uint32_t subset) override
    {
        view = getTransform(TransformState::View);
        depthTest = getRenderState(RenderState::ZEnable);
        depthWrite = getRenderState(RenderState::ZWriteEnable);
        RecordingDevice::drawSubset(mesh, subset);
    }
    Matrix4 view;
    std::uint32_t depthTest = 1;
    std::uint32_t depthWrite = 1;
};

TEST(SkyDome, DrawsWithTheCamerasRotationOnlyAndNoDepthThenRestores)
{
    StateAtDraw device;
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
    EXPECT_EQ(device.view, centred);
    EXPECT_EQ(device.depthTest, 0u);
    EXPECT_EQ(device.depthWrite, 0u);
    EXPECT_EQ(device.getTransform(TransformState::View), view);
    EXPECT_EQ(device.getRenderState(RenderState::ZEnable), 1u);
    EXPECT_EQ(device.getRenderState(RenderState::ZWriteEnable), 1u);
}

} // namespace
} // namespace torvane
