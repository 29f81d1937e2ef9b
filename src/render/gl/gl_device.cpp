#include "render/gl/gl_device.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <type_traits>
#include <unordered_map>

#include "math/vector3.h"
#include "core/message_sink.h"
#include "render/gl/program_binary_cache.h"
#include "render/gl/letterbox.h"
#include "render/gl/gl_text.h"
#include "assets/image_file.h"
#include "assets/x_mesh_file.h"

namespace torvane {
namespace {

constexpr int kMaxLights = 8;

// Matrices arrive row-major for row vectors (v' = v · M). Uploaded as they are,
// OpenGL reads them as the transpose, so `M * v` in GLSL computes v · M.
constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec2 inTexCoord;

uniform mat4 worldViewProjection;
uniform mat3 normalMatrix;          // inverse transpose of World·View, not renormalised
uniform int lightCount;
uniform vec3 towardsLight[8];       // camera space, unit length
uniform vec3 lightDiffuse[8];
uniform vec3 ambientLight;          // ambient render state plus every enabled light's ambient
uniform vec4 materialDiffuse;
uniform vec3 materialAmbient;
uniform vec3 materialEmissive;

out vec4 litColour;
out vec2 texCoord;

void main()
{
    vec4 clip = worldViewProjection * vec4(inPosition, 1.0);
    clip.z = 2.0 * clip.z - clip.w; // depth 0..1 onto OpenGL's -1..1
    gl_Position = clip;

    vec3 normal = normalMatrix * inNormal;
    vec3 diffuse = vec3(0.0);
    for (int i = 0; i < lightCount; ++i) {
        diffuse += materialDiffuse.rgb * lightDiffuse[i] * max(0.0, dot(normal, towardsLight[i]));
    }
    vec3 colour = materialEmissive + materialAmbient * ambientLight + diffuse;
    litColour = vec4(clamp(colour, 0.0, 1.0), materialDiffuse.a);
    texCoord = inTexCoord;
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
in vec4 litColour;
in vec2 texCoord;
uniform bool textured;
uniform bool modulateAlpha;         // stage 0's alpha: texel alpha times diffuse alpha, else texel alpha
uniform sampler2D stage0;
out vec4 fragColour;

void main()
{
    if (textured) {
        vec4 texel = texture(stage0, texCoord);
        fragColour = vec4(litColour.rgb * texel.rgb, modulateAlpha ? texel.a * litColour.a : texel.a);
    } else {
        fragColour = litColour;
    }
}
)";

// A box in a mesh's own coordinates, from its lowest to its highest corner.
struct BoundingBox {
    Vector3 low;
    Vector3 high;
};

// Whether no point of box can land in the view volume of worldViewProjection:
// all eight corners lie beyond one and the same clip plane (depth 0..w). The
// planes are widened by a hair, so that rounding never drops a visible draw.
bool outsideView(const BoundingBox& box, const Matrix4& worldViewProjection)
{
    constexpr float kMargin = 1e-4f;
    int beyond[6] = {};
    for (int corner = 0; corner < 8; ++corner) {
        const float x = (corner & 1) != 0 ? box.high.x : box.low.x;
        const float y = (corner & 2) != 0 ? box.high.y : box.low.y;
        const float z = (corner & 4) != 0 ? box.high.z : box.low.z;
        const Matrix4& m = worldViewProjection;
        float clip[4];
        for (int k = 0; k < 4; ++k) {
            clip[k] = x * m.m[0][k] + y * m.m[1][k] + z * m.m[2][k] + m.m[3][k];
        }
        const float w = clip[3] + kMargin * std::fabs(clip[3]);
        beyond[0] += clip[0] < -w ? 1 : 0;
        beyond[1] += clip[0] > w ? 1 : 0;
        beyond[2] += clip[1] < -w ? 1 : 0;
        beyond[3] += clip[1] > w ? 1 : 0;
        beyond[4] += clip[2] < -kMargin * std::fabs(clip[3]) ? 1 : 0;
        beyond[5] += clip[2] > w ? 1 : 0;
    }
    return std::any_of(std::begin(beyond), std::end(beyond), [](int count) { return count == 8; });
}

class GlMesh final : public Mesh {
public:
    struct Range {
        GLsizei count;
        std::size_t firstIndex;
        BoundingBox bounds; // of the vertices the subset's triangles use
    };

    GlMesh(const MeshData& data)
    {
        glGenVertexArrays(1, &vertexArray);
        glGenBuffers(1, &vertexBuffer);
        glGenBuffers(1, &indexBuffer);
        glBindVertexArray(vertexArray);

        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.vertices.size() * sizeof(MeshVertex)),
                     data.vertices.data(), GL_STATIC_DRAW);
        const auto stride = static_cast<GLsizei>(sizeof(MeshVertex));
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offsetof(MeshVertex, position)));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offsetof(MeshVertex, normal)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offsetof(MeshVertex, u)));

        std::vector<std::uint32_t> indices;
        for (const std::vector<std::uint32_t>& subset : data.subsetIndices) {
            ranges.push_back({static_cast<GLsizei>(subset.size()), indices.size(), boundsOf(data, subset)});
            indices.insert(indices.end(), subset.begin(), subset.end());
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                     indices.data(), GL_STATIC_DRAW);
        glBindVertexArray(0);
    }

    ~GlMesh() override
    {
        glDeleteBuffers(1, &indexBuffer);
        glDeleteBuffers(1, &vertexBuffer);
        glDeleteVertexArrays(1, &vertexArray);
    }

    std::uint32_t subsetCount() const override { return static_cast<std::uint32_t>(ranges.size()); }

    // Whether the subset has triangles that may show through worldViewProjection.
    bool mayShow(std::uint32_t subset, const Matrix4& worldViewProjection) const
    {
        return subset < ranges.size() && ranges[subset].count != 0 &&
               !outsideView(ranges[subset].bounds, worldViewProjection);
    }

    // Draws the subset, binding the mesh's vertex array unless boundVertexArray says it is bound.
    void draw(std::uint32_t subset, GLuint& boundVertexArray) const
    {
        if (boundVertexArray != vertexArray) {
            glBindVertexArray(vertexArray);
            boundVertexArray = vertexArray;
        }
        glDrawElements(GL_TRIANGLES, ranges[subset].count, GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(ranges[subset].firstIndex * sizeof(std::uint32_t)));
    }

private:
    static BoundingBox boundsOf(const MeshData& data, const std::vector<std::uint32_t>& subset)
    {
        BoundingBox box{};
        for (std::size_t i = 0; i < subset.size(); ++i) {
            const Vector3 p = data.vertices[subset[i]].position;
            if (i == 0) {
                box = {p, p};
            }
            box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y), std::min(box.low.z, p.z)};
            box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y), std::max(box.high.z, p.z)};
        }
        return box;
    }

    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    std::vector<Range> ranges;
};

class GlTexture final : public Texture {
public:
    explicit GlTexture(const Image& image)
    {
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        // Row 0 of the image is v = 0, as the meshes' texture coordinates expect.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.rgba.data());
        // Point sampling from the top level only, wrapping in u and v: no other level is ever made.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }

    ~GlTexture() override { glDeleteTextures(1, &name); }

    GLuint name = 0;
};

// The upper-left 3×3 of m, inverted and transposed: the matrix that carries
// normals along with m for row vectors. A singular matrix gives zeros.
std::array<float, 9> normalMatrixOf(const Matrix4& m)
{
    const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
    const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
    const float g = m.m[2][0], h = m.m[2][1], i = m.m[2][2];
    const float cofactors[9] = {e * i - f * h, -(d * i - f * g), d * h - e * g,
                                -(b * i - c * h), a * i - c * g, -(a * h - b * g),
                                b * f - c * e, -(a * f - c * d), a * e - b * d};
    const float determinant = a * cofactors[0] + b * cofactors[1] + c * cofactors[2];
    std::array<float, 9> out{};
    if (determinant == 0.0f) {
        return out;
    }
    // The inverse transpose is the cofactor matrix over the determinant.
    for (int k = 0; k < 9; ++k) {
        out[static_cast<std::size_t>(k)] = cofactors[k] / determinant;
    }
    return out;
}

// Whether the window's default framebuffer has 8-bit colour channels, as the
// off-screen back buffer has, and a depth buffer at least as fine as its 24 bits.
bool windowHasBackBufferFormats()
{
    GLint previous = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    auto bits = [](GLenum attachment, GLenum size) {
        GLint value = 0;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, size, &value);
        return value;
    };
    const bool matches = bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE) == 8 &&
                         bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE) == 8 &&
                         bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE) == 8 &&
                         bits(GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE) >= 24;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    return matches;
}

Vector3 colourRgb(ColourValue colour)
{
    return {colour.r, colour.g, colour.b};
}

// The last value sent to a uniform (or uniforms), so that an unchanged one is not sent again.
template <typename T>
class Sent {
public:
    // Whether value differs, bit for bit, from what was sent; it counts as sent from here on.
    bool differs(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        // Bits, not values: -0 and +0 count as a change and are sent again, which
        // costs one upload; a NaN equals itself here, which is what the GPU holds.
        if (known && std::memcmp(&last, &value, sizeof(T)) == 0) { // NOLINT(bugprone-suspicious-memory-comparison)
            return false;
        }
        std::memcpy(&last, &value, sizeof(T));
        known = true;
        return true;
    }

private:
    T last{};
    bool known = false;
};

// The lights as the vertex shader takes them: camera-space directions towards each enabled light.
struct LightUniforms {
    int count = 0;
    float towardsLight[kMaxLights * 3] = {};
    float diffuse[kMaxLights * 3] = {};
    float ambient[3] = {}; // the ambient state plus every enabled light's ambient
};

// The blending of a draw: off, or source × source factor + destination × destination factor.
struct Blending {
    GLenum source = GL_ONE;
    GLenum destination = GL_ZERO;
    GLuint enabled = 0; // 1: on; as wide as the factors, so the struct has no padding to compare
};

// OpenGL's blend factor for a Direct3D one; an unknown value reads as One.
GLenum glBlendFactor(std::uint32_t factor)
{
    switch (static_cast<BlendFactor>(factor)) {
    case BlendFactor::Zero:
        return GL_ZERO;
    case BlendFactor::One:
        return GL_ONE;
    case BlendFactor::SrcColour:
        return GL_SRC_COLOR;
    case BlendFactor::InvSrcColour:
        return GL_ONE_MINUS_SRC_COLOR;
    case BlendFactor::SrcAlpha:
        return GL_SRC_ALPHA;
    case BlendFactor::InvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DestAlpha:
        return GL_DST_ALPHA;
    case BlendFactor::InvDestAlpha:
        return GL_ONE_MINUS_DST_ALPHA;
    case BlendFactor::DestColour:
        return GL_DST_COLOR;
    case BlendFactor::InvDestColour:
        return GL_ONE_MINUS_DST_COLOR;
    }
    return GL_ONE;
}

// Everything a draw depends on besides its mesh.
struct DrawInputs {
    Matrix4 worldViewProjection;
    std::array<float, 9> normalMatrix;
    LightUniforms lights;
    Material material;
    const GlTexture* texture;
    int modulateAlpha;
    Blending blending;
};

struct WaitingDraw {
    const GlMesh* mesh;
    std::uint32_t subset;
    DrawInputs inputs;
};

// A name no texture or vertex array has: the binding is not known.
constexpr GLuint kUnknownName = ~GLuint{0};

} // namespace

struct GlDevice::Impl {
    GLuint program = 0;
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    GLuint depthBuffer = 0;
    bool offscreenRefused = false; // the driver could not make the off-screen buffer
    // Where this frame draws: framebuffer (off screen) or 0 (the window).
    GLuint target = 0;
    bool keepPresented = false;             // the next present() copies its picture
    std::vector<std::uint8_t> presented;    // that copy, RGBA8, top row first
    // The window's own buffers have the off-screen buffer's formats, so drawing
    // into them gives the same picture.
    bool windowFormatsMatch = false;

    struct Uniforms {
        GLint worldViewProjection, normalMatrix, lightCount, towardsLight, lightDiffuse, ambientLight;
        GLint materialDiffuse, materialAmbient, materialEmissive, textured, modulateAlpha, stage0;
    } uniforms{};

    Matrix4 transforms[kTransformStateCount];
    bool transformsChanged = true;
    Matrix4 worldViewProjection;
    std::array<float, 9> normalMatrix{}; // of World·View
    std::array<Light, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightEnabled{};
    std::uint32_t ambientState = 0;
    bool depthTest = true;
    bool depthWrite = true;
    bool lightsChanged = true;
    LightUniforms lightUniforms;
    Material material;
    const GlTexture* texture = nullptr;
    int modulateAlpha = 0;
    Blending blending;

    // What the program and the context hold already.
    struct {
        Sent<Matrix4> worldViewProjection;
        Sent<std::array<float, 9>> normalMatrix;
        Sent<LightUniforms> lights;
        Sent<Material> material;
        Sent<int> textured;
        Sent<int> modulateAlpha;
        Sent<Blending> blending;
    } sent;
    GLuint boundTexture = kUnknownName;
    GLuint boundVertexArray = kUnknownName;

    float clearDepth = 1.0f;
    bool drawnSinceClear = false;
    std::vector<WaitingDraw> waiting; // its capacity is kept from frame to frame

    std::unique_ptr<GlText> font;
    std::string programCacheFolder; // empty: programs are built from source every time
    std::unique_ptr<MeshReaderProcess> meshReader; // never null
    // Every file asked for, by path as given; a null pointer where it could not be loaded.
    struct LoadedMesh {
        std::unique_ptr<GlMesh> mesh;
        std::vector<MeshMaterial> materials;
    };
    std::unordered_map<std::string, LoadedMesh> meshes;
    std::unordered_map<std::string, std::unique_ptr<GlTexture>> textures;

    explicit Impl(std::unique_ptr<MeshReaderProcess> reader) : meshReader(std::move(reader)) {}

    void findUniforms()
    {
        auto at = [this](const char* name) { return glGetUniformLocation(program, name); };
        uniforms = {at("worldViewProjection"), at("normalMatrix"), at("lightCount"), at("towardsLight"),
                    at("lightDiffuse"),        at("ambientLight"), at("materialDiffuse"), at("materialAmbient"),
                    at("materialEmissive"),    at("textured"),     at("modulateAlpha"),
                    at("stage0")};
    }

    // Makes the off-screen back buffer of width × height on its first need (it
    // costs a few megabytes, and a window of the back buffer's size and formats
    // never needs it); false, once named on stderr, when the driver cannot.
    bool makeOffscreenBuffer(int width, int height)
    {
        if (framebuffer != 0 || offscreenRefused) {
            return framebuffer != 0;
        }
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(1, &colourBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
        glGenRenderbuffers(1, &depthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            diagnose("OpenGL device: the off-screen back buffer is incomplete; drawing into the window");
            deleteOffscreenBuffer();
            offscreenRefused = true;
            return false;
        }
        return true;
    }

    void deleteOffscreenBuffer()
    {
        glDeleteRenderbuffers(1, &depthBuffer);
        glDeleteRenderbuffers(1, &colourBuffer);
        glDeleteFramebuffers(1, &framebuffer);
        depthBuffer = colourBuffer = framebuffer = 0;
    }

    // Recomputes the products of the transforms after one of them changed.
    void updateTransforms()
    {
        if (!transformsChanged) {
            return;
        }
        const Matrix4 worldView = matrixMultiply(transforms[transformSlot(TransformState::World)],
                                                 transforms[transformSlot(TransformState::View)]);
        worldViewProjection = matrixMultiply(worldView, transforms[transformSlot(TransformState::Projection)]);
        normalMatrix = normalMatrixOf(worldView);
        transformsChanged = false;
    }

    // Recomputes the lights' uniforms after a light, the ambient state or the view changed.
    void updateLights()
    {
        if (!lightsChanged) {
            return;
        }
        const Matrix4& view = transforms[transformSlot(TransformState::View)];
        LightUniforms& out = lightUniforms;
        out = {};
        Vector3 ambient(static_cast<float>((ambientState >> 16) & 0xFF) / 255.0f,
                        static_cast<float>((ambientState >> 8) & 0xFF) / 255.0f,
                        static_cast<float>(ambientState & 0xFF) / 255.0f);
        for (int i = 0; i < kMaxLights; ++i) {
            const Light& light = lights[static_cast<std::size_t>(i)];
            if (!lightEnabled[static_cast<std::size_t>(i)] || light.type != LightType::Directional) {
                continue;
            }
            // Directions turn with the view's rotation only.
            Vector3 direction(dot(light.direction, Vector3(view.m[0][0], view.m[1][0], view.m[2][0])),
                              dot(light.direction, Vector3(view.m[0][1], view.m[1][1], view.m[2][1])),
                              dot(light.direction, Vector3(view.m[0][2], view.m[1][2], view.m[2][2])));
            normalize(direction);
            const int at = out.count * 3;
            out.towardsLight[at + 0] = -direction.x;
            out.towardsLight[at + 1] = -direction.y;
            out.towardsLight[at + 2] = -direction.z;
            out.diffuse[at + 0] = light.diffuse.r;
            out.diffuse[at + 1] = light.diffuse.g;
            out.diffuse[at + 2] = light.diffuse.b;
            ambient = ambient + colourRgb(light.ambient);
            ++out.count;
        }
        out.ambient[0] = ambient.x;
        out.ambient[1] = ambient.y;
        out.ambient[2] = ambient.z;
        lightsChanged = false;
    }

    // What the next draw depends on, as the device's states stand now.
    DrawInputs currentInputs()
    {
        updateLights();
        return {worldViewProjection, normalMatrix, lightUniforms, material, texture, modulateAlpha, blending};
    }

    // Sends what a draw depends on and the program and context do not hold yet.
    void send(const DrawInputs& in)
    {
        if (sent.worldViewProjection.differs(in.worldViewProjection)) {
            glUniformMatrix4fv(uniforms.worldViewProjection, 1, GL_FALSE, &in.worldViewProjection.m[0][0]);
        }
        if (sent.normalMatrix.differs(in.normalMatrix)) {
            glUniformMatrix3fv(uniforms.normalMatrix, 1, GL_FALSE, in.normalMatrix.data());
        }
        if (sent.lights.differs(in.lights)) {
            glUniform1i(uniforms.lightCount, in.lights.count);
            glUniform3fv(uniforms.towardsLight, kMaxLights, in.lights.towardsLight);
            glUniform3fv(uniforms.lightDiffuse, kMaxLights, in.lights.diffuse);
            glUniform3fv(uniforms.ambientLight, 1, in.lights.ambient);
        }
        const Material& m = in.material;
        if (sent.material.differs(m)) {
            glUniform4f(uniforms.materialDiffuse, m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a);
            glUniform3f(uniforms.materialAmbient, m.ambient.r, m.ambient.g, m.ambient.b);
            glUniform3f(uniforms.materialEmissive, m.emissive.r, m.emissive.g, m.emissive.b);
        }
        const int textured = in.texture != nullptr ? 1 : 0;
        if (sent.textured.differs(textured)) {
            glUniform1i(uniforms.textured, textured);
        }
        if (sent.modulateAlpha.differs(in.modulateAlpha)) {
            glUniform1i(uniforms.modulateAlpha, in.modulateAlpha);
        }
        if (sent.blending.differs(in.blending)) {
            if (in.blending.enabled != 0) {
                glEnable(GL_BLEND);
            } else {
                glDisable(GL_BLEND);
            }
            glBlendFunc(in.blending.source, in.blending.destination);
        }
        const GLuint name = in.texture != nullptr ? in.texture->name : 0;
        if (boundTexture != name) {
            glBindTexture(GL_TEXTURE_2D, name);
            boundTexture = name;
        }
    }

    // A draw without depth test or depth writes onto a depth buffer still all
    // at the far end shows exactly where no later depth-written draw covers it:
    // it can wait and be drawn last, at the far end with the depth test on, so
    // that the covered part of it is never shaded (the sky).
    bool canWaitForTheEnd() const
    {
        return !depthTest && !depthWrite && !drawnSinceClear && clearDepth == 1.0f;
    }

    // Draws the draws that waited, in their order, behind everything drawn since.
    void drawWaiting()
    {
        if (waiting.empty()) {
            return;
        }
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
        glDepthRange(1.0, 1.0);
        for (const WaitingDraw& draw : waiting) {
            send(draw.inputs);
            draw.mesh->draw(draw.subset, boundVertexArray);
        }
        glDepthRange(0.0, 1.0);
        if (!depthTest) {
            glDisable(GL_DEPTH_TEST);
        }
        glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);
        waiting.clear();
    }

    // Takes back the states the overlay's drawing changed.
    void restoreAfterText()
    {
        glUseProgram(program);
        if (depthTest) {
            glEnable(GL_DEPTH_TEST);
        }
        glEnable(GL_CULL_FACE);
        sent.blending = {}; // the text blends and leaves blending off
        forgetBindings();
    }

    // After something else bound a texture or a vertex array.
    void forgetBindings()
    {
        boundTexture = kUnknownName;
        boundVertexArray = kUnknownName;
    }
};

std::unique_ptr<GlDevice> GlDevice::create(SDL_Window* window, int width, int height,
                                           std::unique_ptr<MeshReaderProcess> meshReader,
                                           const std::string& programCacheFolder)
{
    if (SDL_GL_GetCurrentContext() == nullptr || width <= 0 || height <= 0) {
        diagnose("OpenGL device: no OpenGL context or an empty back buffer (" + std::to_string(width) + " x " +
                 std::to_string(height) + ")");
        return nullptr;
    }
    auto impl = std::make_unique<Impl>(meshReader != nullptr ? std::move(meshReader)
                                                             : std::make_unique<MeshReaderProcess>());
    impl->programCacheFolder = programCacheFolder;
    impl->program = buildCachedGlProgram(kVertexShader, kFragmentShader, "GlDevice", programCacheFolder);
    if (impl->program == 0) {
        return nullptr;
    }
    impl->findUniforms();

    impl->windowFormatsMatch = windowHasBackBufferFormats();

    // The fixed-function defaults the game relies on by never setting them.
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDisable(GL_BLEND);
    glUseProgram(impl->program);
    glUniform1i(impl->uniforms.stage0, 0);
    for (Matrix4& transform : impl->transforms) {
        transform = matrixIdentity();
    }
    return std::unique_ptr<GlDevice>(new GlDevice(window, width, height, std::move(impl)));
}

GlDevice::GlDevice(SDL_Window* targetWindow, int backBufferWidth, int backBufferHeight, std::unique_ptr<Impl> state)
    : window(targetWindow), width(backBufferWidth), height(backBufferHeight), impl(std::move(state))
{
}

GlDevice::~GlDevice()
{
    impl->font.reset();
    impl->meshes.clear();
    impl->textures.clear();
    impl->deleteOffscreenBuffer();
    glDeleteProgram(impl->program);
}

void GlDevice::clear(std::uint32_t colour, float depth)
{
    // Straight into the window when it has the back buffer's size and formats:
    // presenting is then only the swap. Otherwise into the off-screen buffer.
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    const bool windowMatches = impl->windowFormatsMatch && drawableWidth == width && drawableHeight == height;
    impl->target = !windowMatches && impl->makeOffscreenBuffer(width, height) ? impl->framebuffer : 0;
    glBindFramebuffer(GL_FRAMEBUFFER, impl->target);
    glClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 24) & 0xFF) / 255.0f);
    glClearDepth(static_cast<double>(depth));
    // Clearing ignores the depth-write state in Direct3D; OpenGL honours the mask.
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(impl->depthWrite ? GL_TRUE : GL_FALSE);
    impl->clearDepth = depth;
    impl->drawnSinceClear = false;
    impl->waiting.clear(); // cleared away before they were drawn
}

bool GlDevice::beginScene()
{
    if (SDL_GL_GetCurrentContext() == nullptr) {
        return false;
    }
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) == 0;
}

void GlDevice::endScene()
{
    impl->drawWaiting();
    if (impl->font != nullptr) {
        impl->font->flush(width, height);
        impl->restoreAfterText();
    }
}

void GlDevice::keepNextPresented()
{
    impl->keepPresented = true;
}

std::vector<std::uint8_t> GlDevice::takePresentedPicture()
{
    return std::move(impl->presented);
}

void GlDevice::present()
{
    impl->drawWaiting();
    if (impl->keepPresented) {
        // Before the swap: the window's back buffer is undefined after it.
        impl->presented = readBackBuffer();
        impl->keepPresented = false;
    }
    if (impl->target != 0) {
        int drawableWidth = 0;
        int drawableHeight = 0;
        SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
        // The picture keeps its shape: black bars where the window's shape differs (fullscreen).
        const ScreenArea area = letterbox(width, height, drawableWidth, drawableHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, impl->framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glBlitFramebuffer(0, 0, width, height, area.x, area.y, area.x + area.width, area.y + area.height,
                          GL_COLOR_BUFFER_BIT, GL_LINEAR);
    }
    SDL_GL_SwapWindow(window);
    glBindFramebuffer(GL_FRAMEBUFFER, impl->target);
}

void GlDevice::setTransform(TransformState state, const Matrix4& matrix)
{
    impl->transforms[transformSlot(state)] = matrix;
    impl->transformsChanged = true;
    impl->lightsChanged = impl->lightsChanged || state == TransformState::View;
}

Matrix4 GlDevice::getTransform(TransformState state) const
{
    return impl->transforms[transformSlot(state)];
}

void GlDevice::setRenderState(RenderState state, std::uint32_t value)
{
    switch (state) {
    case RenderState::ZEnable:
        impl->depthTest = value != 0;
        if (value != 0) {
            glEnable(GL_DEPTH_TEST);
        } else {
            glDisable(GL_DEPTH_TEST);
        }
        break;
    case RenderState::ZWriteEnable:
        impl->depthWrite = value != 0;
        glDepthMask(impl->depthWrite ? GL_TRUE : GL_FALSE);
        break;
    case RenderState::SrcBlend:
        impl->blending.source = glBlendFactor(value);
        break;
    case RenderState::DestBlend:
        impl->blending.destination = glBlendFactor(value);
        break;
    case RenderState::AlphaBlendEnable:
        impl->blending.enabled = value != 0 ? 1 : 0;
        break;
    case RenderState::Ambient:
        impl->ambientState = value;
        impl->lightsChanged = true;
        break;
    }
}

void GlDevice::setLight(int index, const Light& light)
{
    if (index >= 0 && index < kMaxLights) {
        impl->lights[static_cast<std::size_t>(index)] = light;
        impl->lightsChanged = true;
    }
}

void GlDevice::lightEnable(int index, bool enable)
{
    if (index >= 0 && index < kMaxLights) {
        impl->lightEnabled[static_cast<std::size_t>(index)] = enable;
        impl->lightsChanged = true;
    }
}

void GlDevice::setMaterial(const Material& material)
{
    impl->material = material;
}

void GlDevice::setTexture(int stage, const Texture* texture)
{
    if (stage == 0) {
        impl->texture = static_cast<const GlTexture*>(texture);
    }
}

void GlDevice::setAlphaOperation(int stage, AlphaOperation operation)
{
    if (stage == 0) {
        impl->modulateAlpha = operation == AlphaOperation::Modulate ? 1 : 0;
    }
}

void GlDevice::drawSubset(const Mesh& mesh, std::uint32_t subset)
{
    const auto& glMesh = static_cast<const GlMesh&>(mesh);
    impl->updateTransforms();
    if (!glMesh.mayShow(subset, impl->worldViewProjection)) {
        return;
    }
    if (impl->canWaitForTheEnd()) {
        impl->waiting.push_back({&glMesh, subset, impl->currentInputs()});
        return;
    }
    if (!impl->depthTest || !impl->depthWrite) {
        impl->drawWaiting(); // this draw does not hide behind the depth buffer: what waited goes first
    }
    impl->send(impl->currentInputs());
    glMesh.draw(subset, impl->boundVertexArray);
    impl->drawnSinceClear = true;
}

bool GlDevice::createFont(int pixelHeight)
{
    impl->font = GlText::create(pixelHeight, impl->programCacheFolder);
    impl->forgetBindings();
    return impl->font != nullptr;
}

void GlDevice::drawText(const char* text, TextRect rect, std::uint32_t format, std::uint32_t colour)
{
    if (impl->font != nullptr) {
        impl->font->queue(text, rect, format, colour);
    }
}

Mesh* GlDevice::loadMeshFromX(const char* path, std::vector<MeshMaterial>& materials)
{
    auto [entry, added] = impl->meshes.try_emplace(path);
    Impl::LoadedMesh& loaded = entry->second;
    if (added) {
        if (std::optional<MeshData> data = impl->meshReader->readFile(path)) {
            loaded.mesh = std::make_unique<GlMesh>(*data);
            impl->forgetBindings();
            loaded.materials = std::move(data->materials);
        }
    }
    materials = loaded.materials;
    return loaded.mesh.get();
}

Texture* GlDevice::createTextureFromFile(const char* path)
{
    auto [entry, added] = impl->textures.try_emplace(path);
    if (added) {
        if (const std::optional<Image> image = readImageFile(path)) {
            entry->second = std::make_unique<GlTexture>(*image);
            impl->forgetBindings();
        }
    }
    return entry->second.get();
}

std::vector<std::uint8_t> GlDevice::readBackBuffer() const
{
    impl->drawWaiting();
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<std::size_t>(height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, impl->target);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int row = 0; row < height; ++row) {
        const auto source = static_cast<std::size_t>(height - 1 - row) * rowBytes;
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(source), rowBytes,
                    topDown.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(row) * rowBytes));
    }
    return topDown;
}

} // namespace torvane
