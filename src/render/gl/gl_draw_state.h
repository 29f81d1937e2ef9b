// What a draw depends on besides its mesh (transform products, lights,
// material, texture, stage 0's alpha, blending), and the cache of what the
// program and the context hold already, so that only changed uniforms and
// bindings are sent.
//
// Shortcomings: the cache knows only what went through it; code that binds a
// texture or a vertex array behind its back must call forgetBindings().
#pragma once

#include <SDL_opengl.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "math/matrix4.h"
#include "render/gl/fixed_function_program.h"
#include "render/gl/gl_texture.h"
#include "render/graphics_device.h"

namespace torvane {

// The blending of a draw: off, or source × source factor + destination × destination factor.
struct Blending {
    GLenum source = GL_ONE;
    GLenum destination = GL_ZERO;
    GLuint enabled = 0; // 1: on; as wide as the factors, so the struct has no padding to compare
};

// OpenGL's blend factor for a Direct3D one; an unknown value reads as One.
GLenum glBlendFactor(std::uint32_t factor);

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

// A name no texture or vertex array has: the binding is not known.
constexpr GLuint kUnknownName = ~GLuint{0};

class GlDrawStateCache {
public:
    // Sends what a draw depends on and the program and context do not hold
    // yet, to the uniforms of the program in use.
    void send(const DrawInputs& in, const FixedFunctionProgram::Uniforms& uniforms);

    // After something else bound a texture or a vertex array.
    void forgetBindings()
    {
        boundTexture = kUnknownName;
        boundVertexArray = kUnknownName;
    }
    // After something else left blending off.
    void forgetBlending() { sentBlending = {}; }

    GLuint boundVertexArray = kUnknownName;

private:
    Sent<Matrix4> sentWorldViewProjection;
    Sent<std::array<float, 9>> sentNormalMatrix;
    Sent<LightUniforms> sentLights;
    Sent<Material> sentMaterial;
    Sent<int> sentTextured;
    Sent<int> sentModulateAlpha;
    Sent<Blending> sentBlending;
    GLuint boundTexture = kUnknownName;
};

} // namespace torvane
