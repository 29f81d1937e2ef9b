#include "world/scene_object.h"

#include <bit>
#include <cassert>
#include <vector>

#include "render/graphics_device.h"
#include "core/file_fault_log.h"
#include "core/load_report.h"
#include "math/forward_axis.h"

namespace torvane {

Footprint SceneObject::footprint() const
{
    return makeFootprint(position, forward(), footprintLength, footprintWidth);
}

Vector3 SceneObject::forward() const
{
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(heading);
    if (!forwardKnown || bits != forwardHeadingBits) {
        forwardAxisKept = forwardAxis(heading);
        forwardHeadingBits = bits;
        forwardKnown = true;
    }
    return forwardAxisKept;
}

const Material& SceneObject::getMaterial(std::uint32_t subset) const
{
    assert(subset < materialCount);
    return materials[subset];
}

const Texture* SceneObject::getTexture(std::uint32_t subset) const
{
    assert(subset < materialCount);
    return textures[subset];
}

bool SceneObject::loadMesh(GraphicsDevice* targetDevice, const char* path)
{
    device = targetDevice;
    materialCount = 0;
    const std::string_view name = path != nullptr ? path : "";
    if (device == nullptr) {
        reportFileProblem(FileProblemKind::Mesh, name, FileFault::NoFault);
        return false;
    }

    std::vector<MeshMaterial> fileMaterials;
    const Mesh* loaded = device->loadMeshFromX(path, fileMaterials);
    if (loaded == nullptr) {
        reportFileProblem(FileProblemKind::Mesh, name, fileFaultOf(name));
        return false;
    }

    const auto count = static_cast<std::uint32_t>(fileMaterials.size());
    auto newMaterials = std::make_shared<Material[]>(count);
    auto newTextures = std::make_shared<const Texture*[]>(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        newMaterials[i] = fileMaterials[i].material;
        newMaterials[i].ambient = newMaterials[i].diffuse;
        newTextures[i] = nullptr;
        const std::string& textureFile = fileMaterials[i].textureFile;
        if (!textureFile.empty()) {
            newTextures[i] = device->createTextureFromFile(textureFile.c_str());
            if (newTextures[i] == nullptr) {
                reportFileProblem(FileProblemKind::Texture, textureFile, fileFaultOf(textureFile));
            }
        }
    }

    mesh = loaded;
    materials = std::move(newMaterials);
    textures = std::move(newTextures);
    materialCount = count;
    return true;
}

Matrix4 SceneObject::worldMatrix() const
{
    const Matrix4 rotationThenTranslation =
        matrixMultiply(matrixRotationY(heading), matrixTranslation(position.x, position.y, position.z));
    return matrixMultiply(matrixScaling(scale.x, scale.y, scale.z), rotationThenTranslation);
}

void SceneObject::draw() const
{
    if (device == nullptr) {
        return;
    }
    device->setTransform(TransformState::World, worldMatrix());
    for (std::uint32_t subset = 0; subset < materialCount; ++subset) {
        device->setMaterial(materials[subset]);
        device->setTexture(0, textures[subset]);
        device->drawSubset(*mesh, subset);
    }
}

} // namespace torvane
