#include "render/gl/gl_program.h"

#include <SDL_opengl.h>

#include <string>

#include "core/message_sink.h"

namespace torvane {
namespace {

GLuint compileShader(GLenum kind, const char* source, const char* what)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        diagnose(std::string(what) + ": shader compilation failed: " + log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

unsigned buildGlProgram(const char* vertexSource, const char* fragmentSource, const char* what, bool retrievable)
{
    const GLuint vertex = compileShader(GL_VERTEX_SHADER, vertexSource, what);
    const GLuint fragment = compileShader(GL_FRAGMENT_SHADER, fragmentSource, what);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    if (retrievable) {
        glProgramParameteri(program, GL_PROGRAM_BINARY_RETRIEVABLE_HINT, GL_TRUE);
    }
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[1024] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        diagnose(std::string(what) + ": shader link failed: " + log);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

} // namespace torvane
