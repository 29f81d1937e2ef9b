// GlTexture: an image file's pixels as one RGBA8 texture, sampled as the
// device's stage 0 samples by default: the nearest texel of the top level,
// wrapping in u and v.
//
// Shortcomings: no mipmaps, no other sampling; a texture is never changed
// after it is made.
#pragma once

#include <SDL_opengl.h>

#include "assets/image_file.h"
#include "render/graphics_device.h"

namespace torvane {

class GlTexture final : public Texture {
public:
    explicit GlTexture(const Image& image);
    ~GlTexture() override;
    GlTexture(const GlTexture&) = delete;
    GlTexture& operator=(const GlTexture&) = delete;

    GLuint name = 0;
};

} // namespace torvane
