#include "floor_scene.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdint>
#include <vector>

#include "render/gl/gl_program.h"

namespace torvane {
namespace {

constexpr int kTextureSize = 256;

constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 inPosition;
out vec2 texCoord;
void main()
{
    gl_Position = vec4(inPosition, 0.5, 1.0);
    texCoord = inPosition * 0.5 + 0.5;
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D picture;
uniform vec4 colour;
out vec4 fragColour;
void main()
{
    fragColour = colour * texture(picture, texCoord);
}
)";

// A checkerboard with a gradient, so the sampler has something to fetch.
std::vector<std::uint8_t> checkerboard()
{
    std::vector<std::uint8_t> rgba(kTextureSize * kTextureSize * 4);
    for (int y = 0; y < kTextureSize; ++y) {
        for (int x = 0; x < kTextureSize; ++x) {
            std::uint8_t* p = &rgba[static_cast<std::size_t>((y * kTextureSize + x) * 4)];
            const bool dark = ((x / 16) + (y / 16)) % 2 == 0;
            p[0] = static_cast<std::uint8_t>(dark ? x / 2 : 255 - x / 2);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(dark ? 64 : 192);
            p[3] = 255;
        }
    }
    return rgba;
}

} // namespace

std::unique_ptr<FloorScene> FloorScene::create()
{
    std::unique_ptr<FloorScene> scene(new FloorScene);
    scene->program = buildGlProgram(kVertexShader, kFragmentShader, "FloorScene");
    if (scene->program == 0) {
        return nullptr;
    }
    glUseProgram(scene->program);
    glUniform1i(glGetUniformLocation(scene->program, "picture"), 0);
    glUniform4f(glGetUniformLocation(scene->program, "colour"), 0.9f, 0.8f, 0.7f, 1.0f);

    const std::vector<std::uint8_t> pixels = checkerboard();
    glGenTextures(1, &scene->texture);
    glBindTexture(GL_TEXTURE_2D, scene->texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSize, kTextureSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    const float corners[] = {-1.0f, -1.0f, 1.0f, -1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, -1.0f, 1.0f};
    glGenVertexArrays(1, &scene->vertexArray);
    glGenBuffers(1, &scene->vertexBuffer);
    glBindVertexArray(scene->vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, scene->vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
    return scene;
}

FloorScene::~FloorScene()
{
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteTextures(1, &texture);
    glDeleteProgram(program);
}

void FloorScene::drawFrame(SDL_Window* window, int width, int height)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glClearColor(0.8f, 0.8f, 0.8f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    SDL_GL_SwapWindow(window);
    waitForFrame();
}

void waitForFrame()
{
    std::uint8_t pixel[4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

} // namespace torvane
