// The driver's own account of misuse: on a context made with the debug flag
// (DesktopWindow asks for one when TORVANE_GL_DEBUG is set), the messages of
// GL_KHR_debug of type error or undefined behaviour are written to stderr as
// "OpenGL error: ..." and counted, as they happen (synchronous output: the
// call at fault is on the stack). The tests run the game so and fail on any.
//
// Shortcomings: other kinds (performance, portability) are left unsaid; only
// the first kMaxGlProblemLines messages are written, all are counted.
#pragma once

namespace torvane {

inline constexpr int kMaxGlProblemLines = 50;

// Starts the log on the current context when it is a debug context and the
// driver offers GL_KHR_debug (saying so on stderr); false otherwise.
bool startGlDebugLog();

// The error and undefined-behaviour messages the driver sent since the start.
int glProblemCount();

} // namespace torvane
