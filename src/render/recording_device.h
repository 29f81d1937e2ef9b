// RecordingDevice: a GraphicsDevice that draws nothing. It keeps the state a
// real device would hold (the three transforms, the render states, the lights,
// the material, the stage-0 texture) and logs every call with the arguments that
// identify it, so tests can check what the game asked of the device and in
// which order. Mesh and texture files come from in-memory tables that the test
// fills; nothing touches the file system.
//
// Shortcomings: the log keeps no matrices (read the current state instead);
// light slots beyond kRecordedLightCount are logged but not kept; texture
// stages other than 0 are logged but not kept. The log grows with every call:
// it starts with room for kReservedCalls entries (and kReservedTextBytes of
// drawn text), and clearLog keeps that room,
// so a test that must not allocate during a frame clears it every frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "render/graphics_device.h"

namespace torvane {

enum class DeviceOperation : std::uint8_t {
    Clear,
    BeginScene,
    EndScene,
    Present,
    SetTransform,
    SetRenderState,
    SetLight,
    LightEnable,
    SetMaterial,
    SetTexture,
    SetAlphaOperation,
    DrawSubset,
    LoadMeshFromX,
    CreateTextureFromFile,
    CreateFont,
    DrawText,
};

// One logged call; only the fields its operation uses are set.
struct DeviceCall {
    DeviceOperation operation = DeviceOperation::Clear;
    // Clear: the colour; SetRenderState: the value; DrawSubset: the subset;
    // LightEnable: 1 or 0; BeginScene: 1 when it succeeded; SetAlphaOperation: the operation.
    std::uint32_t value = 0;
    int index = 0;        // SetLight, LightEnable: the light; SetTexture, SetAlphaOperation: the stage
    float depth = 0.0f;   // Clear
    TransformState transform = TransformState::World;
    RenderState renderState = RenderState::ZEnable;
    Material material;    // SetMaterial
    const Mesh* mesh = nullptr;       // DrawSubset; LoadMeshFromX: the result
    const Texture* texture = nullptr; // SetTexture; CreateTextureFromFile: the result
    TextRect rect{};                  // DrawText; value holds the format, index the colour
    std::size_t textOffset = 0;       // DrawText: where its text starts in the text store
};

class RecordedMesh : public Mesh {
public:
    RecordedMesh(std::string path, std::uint32_t count) : filePath(std::move(path)), subsets(count) {}
    std::uint32_t subsetCount() const override { return subsets; }
    const std::string& path() const { return filePath; }

private:
    std::string filePath;
    std::uint32_t subsets;
};

class RecordedTexture : public Texture {
public:
    explicit RecordedTexture(std::string path) : filePath(std::move(path)) {}
    const std::string& path() const { return filePath; }

private:
    std::string filePath;
};

inline constexpr int kRecordedLightCount = 8;
inline constexpr std::size_t kReservedCalls = 4096;
inline constexpr std::size_t kReservedTextBytes = std::size_t{64} * 1024;

class RecordingDevice : public GraphicsDevice {
public:
    RecordingDevice();

    void clear(std::uint32_t colour, float depth) override;
    bool beginScene() override;
    void endScene() override;
    void present() override;

    void setTransform(TransformState state, const Matrix4& matrix) override;
    Matrix4 getTransform(TransformState state) const override;
    void setRenderState(RenderState state, std::uint32_t value) override;
    void setLight(int index, const Light& light) override;
    void lightEnable(int index, bool enable) override;
    void setMaterial(const Material& material) override;
    void setTexture(int stage, const Texture* texture) override;
    void setAlphaOperation(int stage, AlphaOperation operation) override;
    void drawSubset(const Mesh& mesh, std::uint32_t subset) override;

    Mesh* loadMeshFromX(const char* path, std::vector<MeshMaterial>& materials) override;
    Texture* createTextureFromFile(const char* path) override;
    bool createFont(int height) override;
    void drawText(const char* text, TextRect rect, std::uint32_t format, std::uint32_t colour) override;

    // Makes path a readable mesh file with one subset per material.
    void addMeshFile(const std::string& path, std::vector<MeshMaterial> materials);
    // Makes path a readable image file.
    void addTextureFile(const std::string& path);
    // What beginScene returns from now on (true at start).
    void setBeginSceneResult(bool result) { beginSceneResult = result; }
    // What createFont returns from now on (true at start).
    void setCreateFontResult(bool result) { createFontResult = result; }

    std::uint32_t getRenderState(RenderState state) const;
    // The light last set at index; a default light where none was set.
    Light getLight(int index) const;
    bool isLightEnabled(int index) const;
    const Material& getMaterial() const { return material; }
    const Texture* getTexture() const { return texture; }
    AlphaOperation getAlphaOperation() const { return alphaOperation; }

    const std::vector<DeviceCall>& getLog() const { return log; }
    // Number of logged calls of operation.
    std::size_t countCalls(DeviceOperation operation) const;
    // The text of a logged DrawText call.
    const char* textOf(const DeviceCall& call) const { return textStore.data() + call.textOffset; }
    // Empties the log and keeps its capacity.
    void clearLog()
    {
        log.clear();
        textStore.clear();
    }

private:
    DeviceCall& record(DeviceOperation operation);

    Matrix4 transforms[kTransformStateCount];
    std::uint32_t renderStates[kRenderStateCount]; // by renderStateSlot
    Light lights[kRecordedLightCount];
    bool lightsEnabled[kRecordedLightCount] = {};
    Material material;
    const Texture* texture = nullptr;
    AlphaOperation alphaOperation = AlphaOperation::SelectTexture;
    bool beginSceneResult = true;
    bool createFontResult = true;
    bool hasFont = false;

    std::map<std::string, std::vector<MeshMaterial>, std::less<>> meshFiles;
    std::set<std::string, std::less<>> textureFiles;
    std::vector<std::unique_ptr<Mesh>> meshes;
    std::vector<std::unique_ptr<Texture>> textures;
    std::vector<DeviceCall> log;
    std::vector<char> textStore; // the drawn texts, each followed by a NUL
};

} // namespace torvane
