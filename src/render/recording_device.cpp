#include "render/recording_device.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace torvane {
namespace {

bool isLightSlot(int index)
{
    return index >= 0 && index < kRecordedLightCount;
}

} // namespace

// The states start as a Direct3D 9 device with a depth buffer has them:
// identity transforms, depth test and depth writes on, no blending, ambient level 0.
RecordingDevice::RecordingDevice()
{
    std::copy(std::begin(kInitialRenderStates), std::end(kInitialRenderStates), std::begin(renderStates));
    for (Matrix4& transform : transforms) {
        transform = matrixIdentity();
    }
    log.reserve(kReservedCalls);
    textStore.reserve(kReservedTextBytes);
}

DeviceCall& RecordingDevice::record(DeviceOperation operation)
{
    DeviceCall& call = log.emplace_back();
    call.operation = operation;
    return call;
}

void RecordingDevice::clear(std::uint32_t colour, float depth)
{
    DeviceCall& call = record(DeviceOperation::Clear);
    call.value = colour;
    call.depth = depth;
}

bool RecordingDevice::beginScene()
{
    record(DeviceOperation::BeginScene).value = beginSceneResult ? 1u : 0u;
    return beginSceneResult;
}

void RecordingDevice::endScene()
{
    record(DeviceOperation::EndScene);
}

void RecordingDevice::present()
{
    record(DeviceOperation::Present);
}

void RecordingDevice::setTransform(TransformState state, const Matrix4& matrix)
{
    record(DeviceOperation::SetTransform).transform = state;
    transforms[transformSlot(state)] = matrix;
}

Matrix4 RecordingDevice::getTransform(TransformState state) const
{
    return transforms[transformSlot(state)];
}

void RecordingDevice::setRenderState(RenderState state, std::uint32_t value)
{
    DeviceCall& call = record(DeviceOperation::SetRenderState);
    call.renderState = state;
    call.value = value;
    renderStates[renderStateSlot(state)] = value;
}

std::uint32_t RecordingDevice::getRenderState(RenderState state) const
{
    return renderStates[renderStateSlot(state)];
}

void RecordingDevice::setLight(int index, const Light& light)
{
    record(DeviceOperation::SetLight).index = index;
    if (isLightSlot(index)) {
        lights[index] = light;
    }
}

void RecordingDevice::lightEnable(int index, bool enable)
{
    DeviceCall& call = record(DeviceOperation::LightEnable);
    call.index = index;
    call.value = enable ? 1u : 0u;
    if (isLightSlot(index)) {
        lightsEnabled[index] = enable;
    }
}

Light RecordingDevice::getLight(int index) const
{
    return isLightSlot(index) ? lights[index] : Light{};
}

bool RecordingDevice::isLightEnabled(int index) const
{
    return isLightSlot(index) && lightsEnabled[index];
}

void RecordingDevice::setMaterial(const Material& value)
{
    record(DeviceOperation::SetMaterial).material = value;
    material = value;
}

void RecordingDevice::setTexture(int stage, const Texture* value)
{
    DeviceCall& call = record(DeviceOperation::SetTexture);
    call.index = stage;
    call.texture = value;
    if (stage == 0) {
        texture = value;
    }
}

void RecordingDevice::setAlphaOperation(int stage, AlphaOperation operation)
{
    DeviceCall& call = record(DeviceOperation::SetAlphaOperation);
    call.index = stage;
    call.value = static_cast<std::uint32_t>(operation);
    if (stage == 0) {
        alphaOperation = operation;
    }
}

void RecordingDevice::drawSubset(const Mesh& mesh, std::uint32_t subset)
{
    DeviceCall& call = record(DeviceOperation::DrawSubset);
    call.mesh = &mesh;
    call.value = subset;
}

Mesh* RecordingDevice::loadMeshFromX(const char* path, std::vector<MeshMaterial>& materials)
{
    materials.clear();
    Mesh* loaded = nullptr;
    const auto file = path != nullptr ? meshFiles.find(std::string_view(path)) : meshFiles.end();
    if (file != meshFiles.end()) {
        materials = file->second;
        const auto subsets = static_cast<std::uint32_t>(materials.size());
        loaded = meshes.emplace_back(std::make_unique<RecordedMesh>(file->first, subsets)).get();
    }
    record(DeviceOperation::LoadMeshFromX).mesh = loaded;
    return loaded;
}

Texture* RecordingDevice::createTextureFromFile(const char* path)
{
    Texture* created = nullptr;
    const auto file = path != nullptr ? textureFiles.find(std::string_view(path)) : textureFiles.end();
    if (file != textureFiles.end()) {
        created = textures.emplace_back(std::make_unique<RecordedTexture>(*file)).get();
    }
    record(DeviceOperation::CreateTextureFromFile).texture = created;
    return created;
}

void RecordingDevice::addMeshFile(const std::string& path, std::vector<MeshMaterial> materials)
{
    meshFiles[path] = std::move(materials);
}

void RecordingDevice::addTextureFile(const std::string& path)
{
    textureFiles.insert(path);
}

std::size_t RecordingDevice::countCalls(DeviceOperation operation) const
{
    return static_cast<std::size_t>(std::count_if(
        log.begin(), log.end(), [operation](const DeviceCall& call) { return call.operation == operation; }));
}

bool RecordingDevice::createFont(int height)
{
    record(DeviceOperation::CreateFont).value = static_cast<std::uint32_t>(height);
    hasFont = createFontResult;
    return createFontResult;
}

void RecordingDevice::drawText(const char* text, TextRect rect, std::uint32_t format, std::uint32_t colour)
{
    if (!hasFont) {
        return;
    }
    DeviceCall& call = record(DeviceOperation::DrawText);
    call.rect = rect;
    call.value = format;
    call.index = static_cast<int>(colour);
    call.textOffset = textStore.size();
    textStore.insert(textStore.end(), text, text + std::strlen(text) + 1);
}

} // namespace torvane
