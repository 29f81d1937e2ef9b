// The shader program that stands in for Direct3D 9's fixed-function pipeline as
// the game uses it: one transform to clip space, per-vertex lighting by up to
// eight directional lights (diffuse and ambient, no specular, normals not
// renormalised), and stage 0 modulating the texture with the lit colour.
// Also the light and normal arithmetic whose results the program takes.
//
// Shortcomings: only directional lights; one texture stage; no fog or alpha
// test, as the game never switches them on.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "math/matrix4.h"
#include "render/graphics_device.h"

namespace torvane {

constexpr int kMaxLights = 8;

// The lights as the vertex shader takes them: camera-space directions towards each enabled light.
struct LightUniforms {
    int count = 0;
    float towardsLight[kMaxLights * 3] = {};
    float diffuse[kMaxLights * 3] = {};
    float ambient[3] = {}; // the ambient state plus every enabled light's ambient
};

// The device's light states as the program takes them: the enabled
// directional lights turned into view space, and the ambient render state
// (0xAARRGGBB) plus each enabled light's ambient.
LightUniforms lightUniformsOf(const std::array<Light, kMaxLights>& lights,
                              const std::array<bool, kMaxLights>& enabled, std::uint32_t ambientState,
                              const Matrix4& view);

// The upper-left 3×3 of m, inverted and transposed: the matrix that carries
// normals along with m for row vectors. A singular matrix gives zeros.
std::array<float, 9> normalMatrixOf(const Matrix4& m);

struct FixedFunctionProgram {
    struct Uniforms {
        int worldViewProjection, normalMatrix, lightCount, towardsLight, lightDiffuse, ambientLight;
        int materialDiffuse, materialAmbient, materialEmissive, textured, modulateAlpha, stage0;
    };

    unsigned program = 0; // 0: it could not be built (named on stderr)
    Uniforms uniforms{};
};

// The program, from the program binary cache in cacheFolder when one is given.
FixedFunctionProgram buildFixedFunctionProgram(const std::string& cacheFolder);

} // namespace torvane
