// Letterboxing: where a picture goes on a screen of another shape. The picture
// keeps its shape, as large as the screen allows, centred, with bars on the
// two sides the screen has spare; it is never stretched out of shape.
#pragma once

namespace torvane {

// A rectangle in screen pixels, x and y from the bottom left as OpenGL counts them.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest area of pictureWidth:pictureHeight's shape centred on a screen
// of screenWidth × screenHeight pixels; all zero when either is empty.
constexpr ScreenArea letterbox(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) {
        return {};
    }
    // Compare the shapes in 64 bits: pixel counts multiplied overflow an int on big screens.
    const long long wide = static_cast<long long>(screenWidth) * pictureHeight;
    const long long tall = static_cast<long long>(screenHeight) * pictureWidth;
    ScreenArea area{0, 0, screenWidth, screenHeight};
    if (wide > tall) {
        area.width = static_cast<int>(tall / pictureHeight);
        area.x = (screenWidth - area.width) / 2;
    } else if (tall > wide) {
        area.height = static_cast<int>(wide / pictureWidth);
        area.y = (screenHeight - area.height) / 2;
    }
    return area;
}

} // namespace torvane
