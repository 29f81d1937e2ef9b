#include "render/gl/gl_debug_log.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <atomic>
#include <string>

#include "core/message_sink.h"

namespace torvane {
namespace {

std::atomic<int> problems{0};

const char* kindOf(GLenum type)
{
    return type == GL_DEBUG_TYPE_ERROR ? "error" : "undefined behaviour";
}

void GLAPIENTRY noteMessage(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length,
                            const GLchar* message, const void* user)
{
    (void)source;
    (void)severity;
    (void)user;
    if (type != GL_DEBUG_TYPE_ERROR && type != GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR) {
        return;
    }
    if (problems.fetch_add(1) < kMaxGlProblemLines) {
        const std::string text = length >= 0 ? std::string(message, static_cast<std::size_t>(length)) : message;
        diagnose("OpenGL error: " + std::string(kindOf(type)) + " (id " + std::to_string(id) + "): " + text);
    }
}

} // namespace

bool startGlDebugLog()
{
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    if ((flags & GL_CONTEXT_FLAG_DEBUG_BIT) == 0) {
        return false;
    }
    // GL 4.3 core or the extension: looked up, as a 3.3 context need not have it.
    using Callback = void(GLAPIENTRY*)(GLDEBUGPROC, const void*);
    const auto install = reinterpret_cast<Callback>(SDL_GL_GetProcAddress("glDebugMessageCallback"));
    if (SDL_GL_ExtensionSupported("GL_KHR_debug") == SDL_FALSE || install == nullptr) {
        diagnose("OpenGL debug context without GL_KHR_debug: the driver's errors are not logged");
        return false;
    }
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    install(noteMessage, nullptr);
    diagnose("OpenGL debug output on: errors and undefined behaviour are logged");
    return true;
}

int glProblemCount()
{
    return problems.load();
}

} // namespace torvane
