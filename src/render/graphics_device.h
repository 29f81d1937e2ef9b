// GraphicsDevice: the drawing operations the game performs, with Direct3D 9
// fixed-function meanings (row-vector matrices, left-handed, depth 0..1, one
// directional light lit per vertex, clockwise front faces). Two backends: the
// OpenGL one that shows the game, and RecordingDevice for headless tests.
//
// The device owns every mesh and texture it creates; they live until the device
// is destroyed. Scene objects keep plain pointers to them.
//
// Blending follows Direct3D 9: with AlphaBlendEnable on, a pixel becomes
// source × SrcBlend + destination × DestBlend; the source alpha is the
// material's diffuse alpha, or the texel's alpha on a textured draw unless
// stage 0's AlphaOp is Modulate (texel alpha × diffuse alpha).
//
// Shortcomings: only the operations the game uses exist; only directional
// lights are honoured; there is one texture stage, and of its states only
// the alpha operation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/matrix4.h"

namespace torvane {

struct ColourValue {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    constexpr bool operator==(const ColourValue&) const = default;
};

struct Material {
    ColourValue diffuse;
    ColourValue ambient;
    ColourValue specular;
    ColourValue emissive;
    float power = 0.0f;

    constexpr bool operator==(const Material&) const = default;
};

enum class LightType { Point = 1, Spot = 2, Directional = 3 };

struct Light {
    LightType type = LightType::Directional;
    ColourValue diffuse;
    ColourValue specular;
    ColourValue ambient;
    Vector3 direction; // need not be unit length; the device normalises it

    constexpr bool operator==(const Light&) const = default;
};

enum class TransformState : std::uint32_t { View = 2, Projection = 3, World = 256 };
// Render states with Direct3D 9's numbers; a device starts with ZEnable and
// ZWriteEnable 1, AlphaBlendEnable 0, SrcBlend One, DestBlend Zero, Ambient 0.
enum class RenderState : std::uint32_t {
    ZEnable = 7,
    ZWriteEnable = 14,
    SrcBlend = 19,
    DestBlend = 20,
    AlphaBlendEnable = 27,
    Ambient = 139,
};
inline constexpr int kRenderStateCount = 6;

// The blend factors of SrcBlend and DestBlend, Direct3D 9's numbers.
enum class BlendFactor : std::uint32_t {
    Zero = 1,
    One = 2,
    SrcColour = 3,
    InvSrcColour = 4,
    SrcAlpha = 5,
    InvSrcAlpha = 6,
    DestAlpha = 7,
    InvDestAlpha = 8,
    DestColour = 9,
    InvDestColour = 10,
};

// Stage 0's alpha operation (Direct3D 9's D3DTOP numbers): the texel's alpha
// alone (the default), or the texel's alpha times the diffuse alpha.
enum class AlphaOperation : std::uint32_t { SelectTexture = 2, Modulate = 4 };

// Index 0..kRenderStateCount - 1 of a render state in a backend's table.
constexpr int renderStateSlot(RenderState state)
{
    switch (state) {
    case RenderState::ZEnable:
        return 0;
    case RenderState::ZWriteEnable:
        return 1;
    case RenderState::SrcBlend:
        return 2;
    case RenderState::DestBlend:
        return 3;
    case RenderState::AlphaBlendEnable:
        return 4;
    case RenderState::Ambient:
        break;
    }
    return 5;
}

// The render states' values on a new device, by renderStateSlot.
inline constexpr std::uint32_t kInitialRenderStates[kRenderStateCount] = {
    1, 1, static_cast<std::uint32_t>(BlendFactor::One), static_cast<std::uint32_t>(BlendFactor::Zero), 0, 0};
inline constexpr int kTransformStateCount = 3;

// Index 0..2 of a transform in a backend's table; Direct3D's values are too sparse to index with.
constexpr int transformSlot(TransformState state)
{
    switch (state) {
    case TransformState::View:
        return 0;
    case TransformState::Projection:
        return 1;
    case TransformState::World:
        break;
    }
    return 2;
}

// A rectangle in back-buffer pixels; right and bottom are exclusive.
struct TextRect {
    int left;
    int top;
    int right;
    int bottom;
};

// Alignment of drawText within its rectangle; combine one horizontal and one vertical flag.
inline constexpr std::uint32_t kTextLeftTop = 0;
inline constexpr std::uint32_t kTextRight = 2;
inline constexpr std::uint32_t kTextBottom = 8;

// A loaded mesh: triangles grouped into subsets 0 .. subsetCount() - 1.
class Mesh {
public:
    virtual ~Mesh() = default;
    virtual std::uint32_t subsetCount() const = 0;
};

class Texture {
public:
    virtual ~Texture() = default;
};

// One material of a mesh file and the texture file it names ("" for none).
struct MeshMaterial {
    Material material;
    std::string textureFile;
};

class GraphicsDevice {
public:
    virtual ~GraphicsDevice() = default;

    // Clears the back buffer to colour (0xAARRGGBB) and the depth buffer to depth.
    virtual void clear(std::uint32_t colour, float depth) = 0;
    // False when nothing can be drawn this frame (no context, minimised window).
    virtual bool beginScene() = 0;
    virtual void endScene() = 0;
    // Shows the back buffer, scaled to the window's client area in its own shape.
    virtual void present() = 0;
    // True for a device that shows nothing (frames run for their simulation
    // alone): the scene's objects need not be drawn on it.
    virtual bool isSilent() const { return false; }

    virtual void setTransform(TransformState state, const Matrix4& matrix) = 0;
    virtual Matrix4 getTransform(TransformState state) const = 0;
    virtual void setRenderState(RenderState state, std::uint32_t value) = 0;
    virtual void setLight(int index, const Light& light) = 0;
    virtual void lightEnable(int index, bool enable) = 0;
    virtual void setMaterial(const Material& material) = 0;
    // Stage 0 only; nullptr draws untextured.
    virtual void setTexture(int stage, const Texture* texture) = 0;
    // Stage 0's alpha operation (SelectTexture at start); other stages are ignored.
    virtual void setAlphaOperation(int stage, AlphaOperation operation) = 0;
    virtual void drawSubset(const Mesh& mesh, std::uint32_t subset) = 0;

    // Creates the overlay font, the system's default face at height pixels.
    virtual bool createFont(int height) = 0;
    // Draws text in the overlay font within rect, aligned by format, one row per
    // "\n", in colour (0xAARRGGBB) blended over the picture: texts drawn during a
    // scene show over everything the scene draws. Nothing without a font.
    virtual void drawText(const char* text, TextRect rect, std::uint32_t format, std::uint32_t colour) = 0;

    // Reads a DirectX .x mesh file; one entry of materials per subset.
    // nullptr (and materials empty) when the file cannot be read.
    virtual Mesh* loadMeshFromX(const char* path, std::vector<MeshMaterial>& materials) = 0;
    // Reads a PNG or JPEG image into a texture; nullptr when it cannot.
    virtual Texture* createTextureFromFile(const char* path) = 0;
};

} // namespace torvane
