// A scene object: its mesh and materials loaded and drawn, its footprint on the ground.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "math/float_math.h"
#include "core/message_sink.h"
#include "render/recording_device.h"
#include "world/scene_object.h"

namespace torvane {
namespace {

MeshMaterial meshMaterial(float shade, std::string textureFile)
{
    MeshMaterial entry;
    entry.material.diffuse = {shade, 0.5f, 0.25f, 1.0f};
    entry.material.ambient = {0.1f, 0.1f, 0.1f, 0.1f};
    entry.material.specular = {0.9f, 0.8f, 0.7f, 1.0f};
    entry.material.power = 12.0f;
    entry.textureFile = std::move(textureFile);
    return entry;
}

TEST(SceneObjectMesh, LoadKeepsMaterialsAndGoesOnPastMissingFiles)
{
    ScopedMessageCapture messages;
    RecordingDevice device;
    const std::vector<MeshMaterial> fileMaterials = {meshMaterial(0.1f, "textures/body.png"), meshMaterial(0.2f, ""),
                                                     meshMaterial(0.3f, "textures/gone.png")};
    device.addMeshFile("objets/cars/mycar.x", fileMaterials);
    device.addTextureFile("textures/body.png");

    SceneObject object;
    EXPECT_TRUE(object.loadMesh(&device, "objets/cars/mycar.x"));
    EXPECT_EQ(messages.boxes(), std::vector<std::string>{"Erreur: Impossible de trouver le fichier de texture.\n"
                                                         "textures/gone.png : fichier introuvable"});
    ASSERT_EQ(object.getMaterialCount(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        Material expected = fileMaterials[i].material;
        expected.ambient = expected.diffuse;
        EXPECT_EQ(object.getMaterial(i), expected) << i;
    }
    ASSERT_NE(object.getTexture(0), nullptr);
    EXPECT_EQ(static_cast<const RecordedTexture*>(object.getTexture(0))->path(), "textures/body.png");
    EXPECT_EQ(object.getTexture(1), nullptr);
    EXPECT_EQ(object.getTexture(2), nullptr);

    // A failed load leaves an object that draws nothing, with one message only.
    messages.clear();
    device.clearLog();
    EXPECT_FALSE(object.loadMesh(&device, "objets/cars/othercar.x"));
    object.draw();
    EXPECT_EQ(messages.boxes(),
              std::vector<std::string>{"Erreur: Impossible de trouver l'Objet\nobjets/cars/othercar.x : fichier introuvable"});
    EXPECT_EQ(object.getMaterialCount(), 0u);
    EXPECT_EQ(device.countCalls(DeviceOperation::CreateTextureFromFile), 0u);
    EXPECT_EQ(device.countCalls(DeviceOperation::DrawSubset), 0u);
}

TEST(SceneObjectMesh, DrawSetsWorldThenEachSubsetInOrder)
{
    RecordingDevice device;
    device.addMeshFile("car.x", {meshMaterial(0.1f, ""), meshMaterial(0.2f, "paint.jpg")});
    device.addTextureFile("paint.jpg");
    SceneObject object;
    ASSERT_TRUE(object.loadMesh(&device, "car.x"));
    object.setScale(2.0f, 2.0f, 2.0f);
    object.setHeading(kHalfPi);
    object.setPosition({10.0f, 0.0f, 5.0f});
    SceneObject copy = object;
    copy.setPosition({-3.0f, 1.0f, 7.0f});

    device.clearLog();
    copy.draw();
    object.draw();
    const auto& log = device.getLog();
    ASSERT_EQ(log.size(), 14u);
    for (std::size_t call = 0; call < 14; call += 7) {
        EXPECT_EQ(log[call].transform, TransformState::World);
        for (std::uint32_t subset = 0; subset < 2; ++subset) {
            const DeviceCall* calls = &log[call + 1 + 3 * subset];
            EXPECT_EQ(calls[0].material, object.getMaterial(subset));
            EXPECT_EQ(calls[1].operation, DeviceOperation::SetTexture);
            EXPECT_EQ(calls[1].texture, object.getTexture(subset));
            EXPECT_EQ(calls[2].operation, DeviceOperation::DrawSubset);
            EXPECT_EQ(calls[2].mesh, object.getMesh());
            EXPECT_EQ(calls[2].value, subset);
        }
    }
    const float expected[4][4] = {{0, 0, -2, 0}, {0, 2, 0, 0}, {2, 0, 0, 0}, {10, 0, 5, 1}};
    const Matrix4 world = device.getTransform(TransformState::World);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(world.m[row][column], expected[row][column], 1e-6f) << row << "," << column;
        }
    }
}

// Where the corners lie is what the contact tests and the golden wall drive stand on.
TEST(SceneObjectFootprint, CornersLieAtThePositionsHeight)
{
    SceneObject object;
    object.setFootprintLength(11.4f);
    object.setFootprintWidth(4.8f);
    object.setHeading(kHalfPi);
    object.setPosition(Vector3(0, 3.5f, 0));
    for (const Vector3 corner : object.footprint().corners) {
        EXPECT_EQ(corner.y, 3.5f);
    }
}

} // namespace
} // namespace torvane
