// Fuzzes the JPEG decoder (libjpeg behind our memory source and error manager).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/image.h"

using namespace ravelin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    Image image;
    if (decodeJpeg(bytes.data(), bytes.size(), image)) {
        size_t expected = static_cast<size_t>(image.rowLength) * static_cast<size_t>(image.height);
        if (image.pixels.size() != expected || expected == 0) __builtin_trap();
    }
    return 0;
}
