// A JPEG reader for tests that is not the screensaver's own: libjpeg called directly on bytes in
// memory, the whole picture with its rows top first. The generator's and the content's tests
// check pictures with it independently of assets/image_jpeg.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ravelin::testing {

struct DecodedJpeg {
    int width = 0, height = 0, components = 0;
    bool progressive = false;
    std::vector<uint8_t> pixels;  // top row first, components per pixel
    int at(int x, int y, int c = 0) const {
        return pixels[(static_cast<size_t>(y) * width + x) * components + c];
    }
};

// False when libjpeg cannot read the bytes as a JPEG.
bool libjpegDecode(const std::vector<uint8_t>& bytes, DecodedJpeg& out);

}  // namespace ravelin::testing
