// GlDevice: the graphics device on OpenGL 3.3 core, drawing with Direct3D 9
// fixed-function meanings: row-vector matrices, left-handed coordinates, depth
// 0..1, clockwise front faces, point sampling with wrap addressing, and one
// directional light lit per vertex (fixed_function_program.h). The back buffer
// has the size the window's client area had at creation (gl_back_buffer.h).
// Texts are drawn when the scene ends, over the finished picture. Subsets
// wholly outside the view are not sent; the sky (drawn first without depth
// test) is drawn last behind everything; only changed uniforms and bindings
// are sent (gl_draw_state.h). Each distinct mesh or texture file is loaded once
// (cached by its path, a failure too); meshes are parsed by the device's own
// reader process. Shader programs come from the program binary cache when a
// cache folder is given.
//
// Blending is sent with each draw, like the uniforms, so a draw that waits for
// the end keeps the blending it was given.
//
// Shortcomings: a lost context is neither detected nor recreated; see the
// pieces' headers for theirs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "assets/mesh_reader_process.h"
#include "render/graphics_device.h"

struct SDL_Window;

namespace torvane {

class GlDevice final : public GraphicsDevice {
public:
    // Creates the device on window's current OpenGL context, with a back buffer
    // of width × height pixels; meshReader parses its mesh files (one with the
    // default limits when none is given). Linked shader programs and decoded textures are kept in
    // programCacheFolder between runs (none when empty). nullptr (after naming the failure on stderr) when the
    // context lacks what the device needs.
    static std::unique_ptr<GlDevice> create(SDL_Window* window, int width, int height,
                                            std::unique_ptr<MeshReaderProcess> meshReader = nullptr,
                                            const std::string& programCacheFolder = {});
    ~GlDevice() override;

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

    bool createFont(int height) override;
    void drawText(const char* text, TextRect rect, std::uint32_t format, std::uint32_t colour) override;

    Mesh* loadMeshFromX(const char* path, std::vector<MeshMaterial>& materials) override;
    Texture* createTextureFromFile(const char* path) override;

    int backBufferWidth() const { return width; }
    int backBufferHeight() const { return height; }
    // The back buffer as RGBA8, top row first.
    std::vector<std::uint8_t> readBackBuffer() const;
    // The next present() keeps a copy of the picture it shows (screenshots).
    void keepNextPresented();
    // That copy, as RGBA8, top row first; empty when none was kept since the last call.
    std::vector<std::uint8_t> takePresentedPicture();

private:
    struct Impl;
    GlDevice(SDL_Window* window, int width, int height, std::unique_ptr<Impl> impl);

    SDL_Window* window;
    int width;
    int height;
    std::unique_ptr<Impl> impl;
};

} // namespace torvane
