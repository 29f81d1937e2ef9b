#include "render/gl/gl_device.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <array>
#include <string>
#include <unordered_map>

#include "core/message_sink.h"
#include "render/gl/fixed_function_program.h"
#include "render/gl/gl_back_buffer.h"
#include "render/gl/gl_debug_log.h"
#include "render/gl/gl_draw_state.h"
#include "render/gl/gl_mesh.h"
#include "render/gl/gl_text.h"
#include "render/gl/gl_texture.h"
#include "assets/image_file.h"
#include "assets/x_mesh_file.h"

namespace torvane {
namespace {

// A mesh file's materials as the device takes them: ambient left zero, as a .x material has none.
std::vector<MeshMaterial> deviceMaterialsOf(const std::vector<MeshFileMaterial>& fileMaterials)
{
    auto colour = [](const MeshFileColour& c) { return ColourValue{c.r, c.g, c.b, c.a}; };
    std::vector<MeshMaterial> materials;
    materials.reserve(fileMaterials.size());
    for (const MeshFileMaterial& file : fileMaterials) {
        const MeshFileSurface& surface = file.surface;
        materials.push_back({Material{colour(surface.diffuse), ColourValue{}, colour(surface.specular),
                                      colour(surface.emissive), surface.power},
                             file.textureFile});
    }
    return materials;
}

struct WaitingDraw {
    const GlMesh* mesh;
    std::uint32_t subset;
    DrawInputs inputs;
};

} // namespace

struct GlDevice::Impl {
    FixedFunctionProgram fixedFunction;
    GlBackBuffer backBuffer;
    bool keepPresented = false;             // the next present() copies its picture
    std::vector<std::uint8_t> presented;    // that copy, RGBA8, top row first

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
    GlDrawStateCache sent; // what the program and the context hold already

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

    Impl(SDL_Window* window, int width, int height, std::unique_ptr<MeshReaderProcess> reader)
        : backBuffer(window, width, height), meshReader(std::move(reader))
    {
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

    // What the next draw depends on, as the device's states stand now.
    DrawInputs currentInputs()
    {
        if (lightsChanged) {
            lightUniforms = lightUniformsOf(lights, lightEnabled, ambientState,
                                            transforms[transformSlot(TransformState::View)]);
            lightsChanged = false;
        }
        return {worldViewProjection, normalMatrix, lightUniforms, material, texture, modulateAlpha, blending};
    }

    void send(const DrawInputs& in) { sent.send(in, fixedFunction.uniforms); }

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
            draw.mesh->draw(draw.subset, sent.boundVertexArray);
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
        glUseProgram(fixedFunction.program);
        if (depthTest) {
            glEnable(GL_DEPTH_TEST);
        }
        glEnable(GL_CULL_FACE);
        sent.forgetBlending(); // the text blends and leaves blending off
        sent.forgetBindings();
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
    startGlDebugLog();
    const FixedFunctionProgram fixedFunction = buildFixedFunctionProgram(programCacheFolder);
    if (fixedFunction.program == 0) {
        return nullptr;
    }
    auto impl = std::make_unique<Impl>(window, width, height,
                                       meshReader != nullptr ? std::move(meshReader)
                                                             : std::make_unique<MeshReaderProcess>());
    impl->programCacheFolder = programCacheFolder;
    impl->fixedFunction = fixedFunction;

    // The fixed-function defaults the game relies on by never setting them.
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDisable(GL_BLEND);
    glUseProgram(fixedFunction.program);
    glUniform1i(fixedFunction.uniforms.stage0, 0);
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
    glDeleteProgram(impl->fixedFunction.program);
}

void GlDevice::clear(std::uint32_t colour, float depth)
{
    impl->backBuffer.bindForFrame();
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
    impl->backBuffer.present();
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
    glMesh.draw(subset, impl->sent.boundVertexArray);
    impl->drawnSinceClear = true;
}

bool GlDevice::createFont(int pixelHeight)
{
    impl->font = GlText::create(pixelHeight, impl->programCacheFolder);
    impl->sent.forgetBindings();
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
            impl->sent.forgetBindings();
            loaded.materials = deviceMaterialsOf(data->materials);
        }
    }
    materials = loaded.materials;
    return loaded.mesh.get();
}

Texture* GlDevice::createTextureFromFile(const char* path)
{
    auto [entry, added] = impl->textures.try_emplace(path);
    if (added) {
        if (const std::optional<Image> image = readImageFile(path, impl->programCacheFolder)) {
            entry->second = std::make_unique<GlTexture>(*image);
            impl->sent.forgetBindings();
        }
    }
    return entry->second.get();
}

std::vector<std::uint8_t> GlDevice::readBackBuffer() const
{
    impl->drawWaiting();
    return impl->backBuffer.read();
}

} // namespace torvane
