// GraphicsDevice: the drawing operations the game performs, with Direct3D 9
// fixed-function meanings (row-vector matrices, left-handed, depth 0..1, one
// directional light lit per vertex, clockwise front faces). Two backends: the
// OpenGL one that shows the game, and RecordingDevice for headless tests.
//
// The device owns every mesh and texture it creates; they live until the device
// is destroyed. Scene objects keep plain pointers to them.
//
// Shortcomings: only the operations the game uses exist; only directional
// lights are honoured; there is one texture stage.
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
enum class RenderState : std::uint32_t { ZEnable = 7, ZWriteEnable = 14, Ambient = 139 };
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

    virtual void setTransform(TransformState state, const Matrix4& matrix) = 0;
    virtual Matrix4 getTransform(TransformState state) const = 0;
    virtual void setRenderState(RenderState state, std::uint32_t value) = 0;
    virtual void setLight(int index, const Light& light) = 0;
    virtual void lightEnable(int index, bool enable) = 0;
    virtual void setMaterial(const Material& material) = 0;
    // Stage 0 only; nullptr draws untextured.
    virtual void setTexture(int stage, const Texture* texture) = 0;
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
