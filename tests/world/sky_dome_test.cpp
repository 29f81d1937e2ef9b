#include <algorithm>

#include <gtest/gtest.h>

#include "math/float_math.h"
#include "platform/recording_device.h"
#include "world/sky_dome.h"

namespace torvane {
namespace {

TEST(SkyDome, DrawsAroundTheCameraWithoutDepthAndRestoresTheView)
{
    RecordingDevice device;
    device.addMeshFile("sky.x", {MeshMaterial{}});
    SkyDome sky;
    sky.loadMesh(&device, "sky.x");
    const Matrix4 view = matrixLookAtLH({40.0f, 25.0f, -60.0f}, {0.0f, 2.0f, 2.0f}, {0.0f, 0.1f, 0.0f});
    device.setTransform(TransformState::View, view);
    device.setRenderState(RenderState::ZEnable, 1);
    device.clearLog();

    sky.draw(device);

    // The view in force while the dome is drawn: the camera's rotation, 3 lower.
    const std::vector<DeviceCall>& log = device.getLog();
    const auto drawAt = std::find_if(log.begin(), log.end(), [](const DeviceCall& call) {
        return call.operation == DeviceOperation::DrawSubset;
    });
    ASSERT_NE(drawAt, log.end());
    std::uint32_t zEnable = 1;
    std::uint32_t zWrite = 1;
    for (auto call = log.begin(); call != drawAt; ++call) {
        if (call->operation == DeviceOperation::SetRenderState) {
            (call->renderState == RenderState::ZEnable ? zEnable : zWrite) = call->value;
        }
    }
    EXPECT_EQ(zEnable, 0u);
    EXPECT_EQ(zWrite, 0u);

    // Afterwards: the camera's view again, depth test and writes on, world identity.
    EXPECT_EQ(device.getTransform(TransformState::View), view);
    EXPECT_EQ(device.getRenderState(RenderState::ZEnable), 1u);
    EXPECT_EQ(device.getRenderState(RenderState::ZWriteEnable), 1u);
    EXPECT_EQ(device.getTransform(TransformState::World), matrixIdentity());
}

TEST(SkyDome, ItsViewKeepsTheRotationAndDropsTheCamerasPosition)
{
    // A recording device that remembers the view at the moment of the draw.
    struct ViewAtDraw : RecordingDevice {
        void drawSubset(const Mesh& mesh, std::uint32_t subset) override
        {
            seen = getTransform(TransformState::View);
            RecordingDevice::drawSubset(mesh, subset);
        }
        Matrix4 seen;
    } device;
    device.addMeshFile("sky.x", {MeshMaterial{}});
    SkyDome sky;
    sky.loadMesh(&device, "sky.x");
    const Matrix4 view = matrixLookAtLH({40.0f, 25.0f, -60.0f}, {0.0f, 2.0f, 2.0f}, {0.0f, 0.1f, 0.0f});
    device.setTransform(TransformState::View, view);
    sky.draw(device);

    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(device.seen.m[row][column], view.m[row][column]);
        }
    }
    EXPECT_EQ(device.seen.m[3][0], 0.0f);
    EXPECT_EQ(device.seen.m[3][1], -3.0f);
    EXPECT_EQ(device.seen.m[3][2], 0.0f);
    EXPECT_EQ(device.seen.m[3][3], 1.0f);
}

} // namespace
} // namespace torvane
