// PNG writing through libpng's simplified API, for screenshots of the back
// buffer: RGBA8 pixels in, top row first, as Image holds them; an opaque 8-bit
// RGB file out, since the window shows the picture without its alpha.
//
// Shortcomings: no compression level or filter choice; no text or time chunks,
// so equal pictures give equal files.
#pragma once

#include <cstdio>

#include "assets/image_file.h"

namespace torvane {

// Writes image to file, its alpha dropped; false when the image is empty or
// malformed or the file refused it.
bool writePng(std::FILE* file, const Image& image);
// Writes image to path through a temporary file renamed into place; false (and
// the file at path as it was) when the image is empty or malformed or the file
// cannot be written.
bool writePngFile(const char* path, const Image& image);

} // namespace torvane
