#include "render/gl/gl_draw_state.h"

namespace torvane {

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

void GlDrawStateCache::send(const DrawInputs& in, const FixedFunctionProgram::Uniforms& uniforms)
{
    if (sentWorldViewProjection.differs(in.worldViewProjection)) {
        glUniformMatrix4fv(uniforms.worldViewProjection, 1, GL_FALSE, &in.worldViewProjection.m[0][0]);
    }
    if (sentNormalMatrix.differs(in.normalMatrix)) {
        glUniformMatrix3fv(uniforms.normalMatrix, 1, GL_FALSE, in.normalMatrix.data());
    }
    if (sentLights.differs(in.lights)) {
        glUniform1i(uniforms.lightCount, in.lights.count);
        glUniform3fv(uniforms.towardsLight, kMaxLights, in.lights.towardsLight);
        glUniform3fv(uniforms.lightDiffuse, kMaxLights, in.lights.diffuse);
        glUniform3fv(uniforms.ambientLight, 1, in.lights.ambient);
    }
    const Material& m = in.material;
    if (sentMaterial.differs(m)) {
        glUniform4f(uniforms.materialDiffuse, m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a);
        glUniform3f(uniforms.materialAmbient, m.ambient.r, m.ambient.g, m.ambient.b);
        glUniform3f(uniforms.materialEmissive, m.emissive.r, m.emissive.g, m.emissive.b);
    }
    const int textured = in.texture != nullptr ? 1 : 0;
    if (sentTextured.differs(textured)) {
        glUniform1i(uniforms.textured, textured);
    }
    if (sentModulateAlpha.differs(in.modulateAlpha)) {
        glUniform1i(uniforms.modulateAlpha, in.modulateAlpha);
    }
    if (sentBlending.differs(in.blending)) {
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

} // namespace torvane
