// A test suite's window with an OpenGL context on SDL's offscreen driver, open
// from the suite's first test to its last.
#pragma once

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/desktop_window.h"

namespace torvane {

// Size × Size pixels; a test without a context is skipped.
template <int Size>
struct OffscreenGlTest : ::testing::Test {
    static void SetUpTestSuite()
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        if (startDesktop()) {
            window = DesktopWindow::open("Torvane test", Size, Size, true).release();
        }
    }

    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
        stopDesktop();
    }

    // Whether the window has its context; the caller skips the test when not.
    static bool hasContext() { return window != nullptr && window->hasGlContext(); }

    static inline DesktopWindow* window = nullptr;
};

} // namespace torvane
