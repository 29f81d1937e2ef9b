#include "render/gl/gl_device.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <array>

#include "math/vector3.h"
#include "core/message_sink.h"
#include "render/gl/gl_program.h"
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
uniform sampler2D stage0;
out vec4 fragColour;

void main()
{
    if (textured) {
        vec4 texel = texture(stage0, texCoord);
        fragColour = vec4(litColour.rgb * texel.rgb, texel.a);
    } else {
        fragColour = litColour;
    }
}
)";

class GlMesh final : public Mesh {
public:
    struct Range {
        GLsizei count;
        std::size_t firstIndex;
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
            ranges.push_back({static_cast<GLsizei>(subset.size()), indices.size()});
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

    void draw(std::uint32_t subset) const
    {
        if (subset >= ranges.size() || ranges[subset].count == 0) {
            return;
        }
        glBindVertexArray(vertexArray);
        glDrawElements(GL_TRIANGLES, ranges[subset].count, GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(ranges[subset].firstIndex * sizeof(std::uint32_t)));
    }

private:
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
        glGenerateMipmap(GL_TEXTURE_2D);
        // Point sampling from the top level only, wrapping in u and v.
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

Vector3 colourRgb(ColourValue colour)
{
    return {colour.r, colour.g, colour.b};
}

} // namespace

struct GlDevice::Impl {
    GLuint program = 0;
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    GLuint depthBuffer = 0;

    struct Uniforms {
        GLint worldViewProjection, normalMatrix, lightCount, towardsLight, lightDiffuse, ambientLight;
        GLint materialDiffuse, materialAmbient, materialEmissive, textured, stage0;
    } uniforms{};

    Matrix4 transforms[kTransformStateCount];
    std::array<Light, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightEnabled{};
    std::uint32_t ambientState = 0;
    bool depthWrite = true;
    Material material;
    const GlTexture* texture = nullptr;

    std::unique_ptr<GlText> font;
    std::vector<std::unique_ptr<GlMesh>> meshes;
    std::vector<std::unique_ptr<GlTexture>> textures;

    void findUniforms()
    {
        auto at = [this](const char* name) { return glGetUniformLocation(program, name); };
        uniforms = {at("worldViewProjection"), at("normalMatrix"), at("lightCount"), at("towardsLight"),
                    at("lightDiffuse"),        at("ambientLight"), at("materialDiffuse"), at("materialAmbient"),
                    at("materialEmissive"),    at("textured"),     at("stage0")};
    }

    // Uploads everything the next draw depends on: transforms, lights, material, texture.
    void applyDrawState()
    {
        const Matrix4& world = transforms[transformSlot(TransformState::World)];
        const Matrix4& view = transforms[transformSlot(TransformState::View)];
        const Matrix4 worldView = matrixMultiply(world, view);
        const Matrix4 worldViewProjection = matrixMultiply(worldView, transforms[transformSlot(TransformState::Projection)]);
        glUniformMatrix4fv(uniforms.worldViewProjection, 1, GL_FALSE, &worldViewProjection.m[0][0]);
        const std::array<float, 9> normalMatrix = normalMatrixOf(worldView);
        glUniformMatrix3fv(uniforms.normalMatrix, 1, GL_FALSE, normalMatrix.data());

        float towardsLight[kMaxLights * 3] = {};
        float lightDiffuse[kMaxLights * 3] = {};
        Vector3 ambient(static_cast<float>((ambientState >> 16) & 0xFF) / 255.0f,
                        static_cast<float>((ambientState >> 8) & 0xFF) / 255.0f,
                        static_cast<float>(ambientState & 0xFF) / 255.0f);
        int count = 0;
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
            towardsLight[count * 3 + 0] = -direction.x;
            towardsLight[count * 3 + 1] = -direction.y;
            towardsLight[count * 3 + 2] = -direction.z;
            lightDiffuse[count * 3 + 0] = light.diffuse.r;
            lightDiffuse[count * 3 + 1] = light.diffuse.g;
            lightDiffuse[count * 3 + 2] = light.diffuse.b;
            ambient = ambient + colourRgb(light.ambient);
            ++count;
        }
        glUniform1i(uniforms.lightCount, count);
        glUniform3fv(uniforms.towardsLight, kMaxLights, towardsLight);
        glUniform3fv(uniforms.lightDiffuse, kMaxLights, lightDiffuse);
        glUniform3f(uniforms.ambientLight, ambient.x, ambient.y, ambient.z);

        glUniform4f(uniforms.materialDiffuse, material.diffuse.r, material.diffuse.g, material.diffuse.b,
                    material.diffuse.a);
        glUniform3f(uniforms.materialAmbient, material.ambient.r, material.ambient.g, material.ambient.b);
        glUniform3f(uniforms.materialEmissive, material.emissive.r, material.emissive.g, material.emissive.b);

        glUniform1i(uniforms.textured, texture != nullptr ? 1 : 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->name : 0);
    }
};

std::unique_ptr<GlDevice> GlDevice::create(SDL_Window* window, int width, int height)
{
    if (SDL_GL_GetCurrentContext() == nullptr || width <= 0 || height <= 0) {
        diagnose("OpenGL device: no OpenGL context or an empty back buffer (" + std::to_string(width) + " x " +
                 std::to_string(height) + ")");
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->program = buildGlProgram(kVertexShader, kFragmentShader, "GlDevice");
    if (impl->program == 0) {
        return nullptr;
    }
    impl->findUniforms();

    glGenFramebuffers(1, &impl->framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, impl->framebuffer);
    glGenRenderbuffers(1, &impl->colourBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, impl->colourBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, impl->colourBuffer);
    glGenRenderbuffers(1, &impl->depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, impl->depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, impl->depthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        diagnose("OpenGL device: the off-screen back buffer is incomplete");
        glDeleteRenderbuffers(1, &impl->depthBuffer);
        glDeleteRenderbuffers(1, &impl->colourBuffer);
        glDeleteFramebuffers(1, &impl->framebuffer);
        glDeleteProgram(impl->program);
        return nullptr;
    }

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
    glDeleteRenderbuffers(1, &impl->depthBuffer);
    glDeleteRenderbuffers(1, &impl->colourBuffer);
    glDeleteFramebuffers(1, &impl->framebuffer);
    glDeleteProgram(impl->program);
}

void GlDevice::clear(std::uint32_t colour, float depth)
{
    glBindFramebuffer(GL_FRAMEBUFFER, impl->framebuffer);
    glClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 24) & 0xFF) / 255.0f);
    glClearDepth(static_cast<double>(depth));
    // Clearing ignores the depth-write state in Direct3D; OpenGL honours the mask.
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(impl->depthWrite ? GL_TRUE : GL_FALSE);
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
    if (impl->font != nullptr) {
        impl->font->flush(width, height);
    }
}

void GlDevice::present()
{
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
    SDL_GL_SwapWindow(window);
    glBindFramebuffer(GL_FRAMEBUFFER, impl->framebuffer);
}

void GlDevice::setTransform(TransformState state, const Matrix4& matrix)
{
    impl->transforms[transformSlot(state)] = matrix;
}

Matrix4 GlDevice::getTransform(TransformState state) const
{
    return impl->transforms[transformSlot(state)];
}

void GlDevice::setRenderState(RenderState state, std::uint32_t value)
{
    switch (state) {
    case RenderState::ZEnable:
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
    case RenderState::Ambient:
        impl->ambientState = value;
        break;
    }
}

void GlDevice::setLight(int index, const Light& light)
{
    if (index >= 0 && index < kMaxLights) {
        impl->lights[static_cast<std::size_t>(index)] = light;
    }
}

void GlDevice::lightEnable(int index, bool enable)
{
    if (index >= 0 && index < kMaxLights) {
        impl->lightEnabled[static_cast<std::size_t>(index)] = enable;
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

void GlDevice::drawSubset(const Mesh& mesh, std::uint32_t subset)
{
    impl->applyDrawState();
    static_cast<const GlMesh&>(mesh).draw(subset);
}

bool GlDevice::createFont(int pixelHeight)
{
    impl->font = GlText::create(pixelHeight);
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
    materials.clear();
    std::optional<MeshData> data = readXMeshFile(path);
    if (!data) {
        return nullptr;
    }
    materials = std::move(data->materials);
    impl->meshes.push_back(std::make_unique<GlMesh>(*data));
    return impl->meshes.back().get();
}

Texture* GlDevice::createTextureFromFile(const char* path)
{
    std::optional<Image> image = readImageFile(path);
    if (!image) {
        return nullptr;
    }
    impl->textures.push_back(std::make_unique<GlTexture>(*image));
    return impl->textures.back().get();
}

std::vector<std::uint8_t> GlDevice::readBackBuffer() const
{
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<std::size_t>(height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, impl->framebuffer);
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
