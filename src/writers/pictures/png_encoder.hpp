// A PNG encoder for the pictures: cairo's own writer compresses at zlib's default level,
// which costs more than the drawing; a fast level keeps the files within a third of the
// default size at a quarter of the time.
#pragma once

#include <string>

namespace vl::pictures {

// 8-bit RGB PNG of cairo RGB24 pixels (native 32-bit words 0x00RRGGBB), stride in bytes.
std::string encodePng(const unsigned char* pixels, int width, int height, int stride);

}  // namespace vl::pictures
