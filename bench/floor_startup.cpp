// torvane-floor: the minimal program the game's start-up is measured against:
// SDL on the offscreen driver (or a real window with --window), an 800 × 600
// window with its OpenGL 3.3 context, one textured frame, and exit.
#include <cstdlib>
#include <cstring>

#include "floor_scene.h"
#include "platform/desktop_window.h"

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--window") != 0) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    if (!torvane::startDesktop()) {
        return 1;
    }
    int status = 1;
    {
        const auto window = torvane::DesktopWindow::open("Torvane floor", 800, 600, true);
        if (window != nullptr && window->hasGlContext()) {
            if (const auto scene = torvane::FloorScene::create()) {
                scene->drawFrame(window->handle(), window->clientWidth(), window->clientHeight());
                status = 0;
            }
        }
    }
    torvane::stopDesktop();
    return status;
}
