// Builds an OpenGL shader program from vertex and fragment source.
#pragma once

namespace torvane {

// The linked program, or 0 after printing the compiler's or linker's log
// (prefixed by what) to stderr. When retrievable, the driver is told that the
// linked binary will be asked for (glGetProgramBinary).
unsigned buildGlProgram(const char* vertexSource, const char* fragmentSource, const char* what,
                        bool retrievable = false);

} // namespace torvane
