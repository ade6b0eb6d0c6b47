// Fuzzes the JPEG decoder (libjpeg behind our memory source and error manager), and the
// loader's message for a missing archive entry on the side.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/image.h"
#include "platform/fake/fake_platform.h"

using namespace ravelin;

// Pictures up to 64 KiB of pixels: a larger one only repeats the same work on more blocks,
// and the header check refuses what is above the limit as it refuses 128 MiB in the program.
constexpr size_t kFuzzPixelBytes = 64 << 10;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FakePlatform* fake = new FakePlatform;  // captures the missing-entry message
    std::vector<uint8_t> bytes(data, data + size);
    Image image;
    if (decodeJpeg(bytes.data(), bytes.size(), image, kFuzzPixelBytes)) {
        size_t expected = static_cast<size_t>(image.rowLength) * static_cast<size_t>(image.height);
        if (image.pixels.size() != expected || expected == 0) __builtin_trap();
    }
    if (loadJpeg("textures\\absent.jpg", image, false, 0) || image.valid()) __builtin_trap();
    if (fake->messages.size() != 1) __builtin_trap();
    fake->messages.clear();
    return 0;
}
