// SilentDevice: a GraphicsDevice that draws and logs nothing, for frames that
// run the game only for its simulation (a watched drive played faster than
// shown, the ghost car's drive). It keeps the transforms, which the sky reads
// back, and its scene always begins, so a frame's physics runs. It loads no
// file. The game draws no world on it (isSilent): its objects keep the
// device that loaded them and would draw there.
#pragma once

#include "render/graphics_device.h"

namespace torvane {

class SilentDevice final : public GraphicsDevice {
public:
    void clear(std::uint32_t, float) override {}
    bool beginScene() override { return true; }
    void endScene() override {}
    void present() override {}
    bool isSilent() const override { return true; }

    void setTransform(TransformState state, const Matrix4& matrix) override
    {
        transforms[transformSlot(state)] = matrix;
    }
    Matrix4 getTransform(TransformState state) const override { return transforms[transformSlot(state)]; }
    void setRenderState(RenderState, std::uint32_t) override {}
    void setLight(int, const Light&) override {}
    void lightEnable(int, bool) override {}
    void setMaterial(const Material&) override {}
    void setTexture(int, const Texture*) override {}
    void setAlphaOperation(int, AlphaOperation) override {}
    void drawSubset(const Mesh&, std::uint32_t) override {}

    bool createFont(int) override { return true; }
    void drawText(const char*, TextRect, std::uint32_t, std::uint32_t) override {}

    Mesh* loadMeshFromX(const char*, std::vector<MeshMaterial>& materials) override
    {
        materials.clear();
        return nullptr;
    }
    Texture* createTextureFromFile(const char*) override { return nullptr; }

private:
    Matrix4 transforms[kTransformStateCount] = {matrixIdentity(), matrixIdentity(), matrixIdentity()};
};

} // namespace torvane
