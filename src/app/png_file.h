// PNG output of the unattended runs, the tests and the tools: a frame read back from GL written
// as an 8-bit RGB PNG file with libpng.
#pragma once

#include <cstdint>
#include <string>

namespace ravelin {

// Writes width × height RGB pixels, rows bottom-up as glReadPixels gives them, to a PNG file.
// False when the file cannot be written.
bool writePng(const std::string& path, const uint8_t* rgbBottomUp, int width, int height);

}  // namespace ravelin
