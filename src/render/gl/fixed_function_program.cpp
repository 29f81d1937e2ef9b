#include "render/gl/fixed_function_program.h"

#include <SDL_opengl.h>

#include "math/vector3.h"
#include "render/gl/program_binary_cache.h"

namespace torvane {
namespace {

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

Vector3 colourRgb(ColourValue colour)
{
    return {colour.r, colour.g, colour.b};
}

} // namespace

LightUniforms lightUniformsOf(const std::array<Light, kMaxLights>& lights,
                              const std::array<bool, kMaxLights>& enabled, std::uint32_t ambientState,
                              const Matrix4& view)
{
    LightUniforms out;
    Vector3 ambient(static_cast<float>((ambientState >> 16) & 0xFF) / 255.0f,
                    static_cast<float>((ambientState >> 8) & 0xFF) / 255.0f,
                    static_cast<float>(ambientState & 0xFF) / 255.0f);
    for (std::size_t i = 0; i < lights.size(); ++i) {
        const Light& light = lights[i];
        if (!enabled[i] || light.type != LightType::Directional) {
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
    return out;
}

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

FixedFunctionProgram buildFixedFunctionProgram(const std::string& cacheFolder)
{
    FixedFunctionProgram built;
    built.program = buildCachedGlProgram(kVertexShader, kFragmentShader, "GlDevice", cacheFolder);
    if (built.program == 0) {
        return built;
    }
    auto at = [&built](const char* name) { return glGetUniformLocation(built.program, name); };
    built.uniforms = {at("worldViewProjection"), at("normalMatrix"), at("lightCount"), at("towardsLight"),
                      at("lightDiffuse"),        at("ambientLight"), at("materialDiffuse"), at("materialAmbient"),
                      at("materialEmissive"),    at("textured"),     at("modulateAlpha"),
                      at("stage0")};
    return built;
}

} // namespace torvane
